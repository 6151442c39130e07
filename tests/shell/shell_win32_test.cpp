#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "base/runtime_failure.hpp"
#include "shell/ansi_text_win32.hpp"
#include "shell/open_link_win32.hpp"
#include "shell/program_folder.hpp"
#include "shell/program_folder_win32.hpp"

// The shell layer on Windows: the exact call of ShellExecuteA, text without look-alikes, and the
// program's folder. Wine's shell reaching the desktop's handler is a journey (tests/journeys).

namespace qmz {
namespace {

// What the stand-in for ShellExecuteA received: owner, verb, file, whether the parameters were a
// null pointer, directory, show command.
using ShellCall = std::tuple<HWND, std::string, std::string, bool, std::string, INT>;
std::vector<ShellCall> calls;

HINSTANCE WINAPI RecordingShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                       INT showCommand) {
    calls.emplace_back(owner, verb, file, parameters == nullptr, directory, showCommand);
    return reinterpret_cast<HINSTANCE>(INT_PTR{31});  // no association: a failure never looked at
}

TEST(OpenLinkWith, HandsTheShellTheExactTextsNoParametersAndShowNormal) {
    ASSERT_EQ(GetACP(), UINT{CP_UTF8}) << "the program's manifest asks for UTF-8, which keeps every character";
    const std::tuple<WindowHandle, std::u16string_view, std::u16string_view, const wchar_t*, std::string, std::string>
        cases[] = {
            // owner, verb, target, folder, and the target and folder the shell gets
            {0x10a2c, u"OPEN", u"http://media.site.test/s/ab/ab12CD34.flv", LR"(C:\Program Files\QMZ)",
             "http://media.site.test/s/ab/ab12CD34.flv", R"(C:\Program Files\QMZ)"},
            {0, u"open", u"", LR"(C:\)", "", R"(C:\)"},
            {0x7, u"OPEN", u"http://x/\u00e9\uff02\U0001F600.flv", L"D:\\\u00c4\u4e2d",
             "http://x/\xc3\xa9\xef\xbc\x82\xf0\x9f\x98\x80.flv", "D:\\\xc3\x84\xe4\xb8\xad"},
        };
    for (const auto& [owner, verb, target, folder, file, directory] : cases) {
        calls.clear();
        OpenLinkWith(&RecordingShellExecute, owner, verb, target, folder);
        const ShellCall expected{reinterpret_cast<HWND>(owner), std::string(verb.begin(), verb.end()), file, true,
                                 directory, SW_SHOWNORMAL};
        EXPECT_EQ(calls, std::vector{expected});
    }
}

TEST(ToAnsiText, NeverMapsAMissingCharacterToALookAlike) {
    // The fullwidth quote is the classic case: best fit would make it a real quote.
    char bestFit[4] = {};
    ASSERT_EQ(WideCharToMultiByte(1252, 0, L"\uff02", 1, bestFit, sizeof bestFit, nullptr, nullptr), 1);
    ASSERT_EQ(bestFit[0], '"') << "this system has no best fit for U+FF02, so the test below proves nothing";
    const std::tuple<UINT, const wchar_t*, std::string> cases[] = {
        {1252, L"\uff02 \uff07 \u2215 \uff3c \u00a5", "? ? ? ? \xa5"},
        {1252, L"caf\u00e9 \u20ac", "caf\xe9 \x80"},
        {1251, L"\u0416\uff02", "\xc6?"},
        {CP_UTF8, L"\uff02\u00e9", "\xef\xbc\x82\xc3\xa9"},
    };
    for (const auto& [codePage, text, expected] : cases) {
        EXPECT_EQ(ToAnsiText(text, codePage), expected) << "code page " << codePage;
    }
}

TEST(ToAnsiText, RefusesANulInsteadOfCuttingTheTextShort) {
    for (const UINT codePage : {1252u, UINT{CP_UTF8}}) {
        EXPECT_THROW(ToAnsiText(std::wstring(L"a\0b", 3), codePage), RuntimeFailure) << codePage;
    }
    calls.clear();
    EXPECT_THROW(OpenLinkWith(&RecordingShellExecute, 0, u"open", std::u16string(u"http://x/a\0b.flv", 16), LR"(C:\)"),
                 RuntimeFailure);
    EXPECT_TRUE(calls.empty());
}

TEST(FindShellExecuteA, FindsShell32sOwnAndNamesAMissingOne) {
    const auto found = reinterpret_cast<void*>(FindShellExecuteA());
    EXPECT_EQ(found, reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shell32.dll"), "ShellExecuteA")));
    EXPECT_THROW(LookUpShellExecute(L"qmz-no-such-library.dll", "ShellExecuteA"), RuntimeFailure);
    EXPECT_THAT([] { LookUpShellExecute(L"shell32.dll", "ShellExecuteQ"); },
                testing::ThrowsMessage<RuntimeFailure>(testing::HasSubstr("ShellExecuteQ")));
}

TEST(FolderOfModulePath, KeepsABackslashOnlyAfterADrive) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {LR"(C:\Program Files\QMZ\qmz.exe)", LR"(C:\Program Files\QMZ)"},
        {LR"(C:\qmz.exe)", LR"(C:\)"},
        {LR"(\\server\share\tools\qmz.exe)", LR"(\\server\share\tools)"},
        {LR"(\\?\C:\qmz.exe)", LR"(\\?\C:\)"},
        {LR"(\\?\D:\a\b\qmz.exe)", LR"(\\?\D:\a\b)"},
        {L"qmz.exe", L""},
    };
    for (const auto& [module, folder] : cases) {
        EXPECT_EQ(FolderOfModulePath(module), folder) << module;
    }
}

TEST(ReadModulePath, GrowsTheBufferUntilALongPathFitsAndReportsFailure) {
    // Past MAX_PATH, as under a long-path-aware Windows; cut to fit, as GetModuleFileNameW does,
    // which then reports the whole buffer's size.
    const std::wstring longPath = LR"(\\?\C:\)" + std::wstring(700, L'd') + LR"(\qmz.exe)";
    EXPECT_EQ(ReadModulePath([&](wchar_t* buffer, DWORD size) {
                  const std::size_t copied = longPath.copy(buffer, size - 1);
                  buffer[copied] = L'\0';
                  return copied < longPath.size() ? size : static_cast<DWORD>(copied);
              }),
              longPath);
    EXPECT_THROW(ReadModulePath([](wchar_t*, DWORD) -> DWORD { return 0; }), RuntimeFailure);
    // A reader that never fits must not make the buffer grow without end.
    EXPECT_THROW(ReadModulePath([](wchar_t*, DWORD size) { return size; }), RuntimeFailure);
}

TEST(ProgramFolder, IsTheRunningProgramsFolder) {
    const std::filesystem::path folder(ProgramFolder());
    EXPECT_TRUE(folder.is_absolute()) << folder;
    EXPECT_TRUE(std::filesystem::exists(folder / L"shell_test.exe")) << folder;
    EXPECT_NE(folder.native().back(), L'\\');
}

}  // namespace
}  // namespace qmz
