#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "shell/ansi_text_win32.hpp"
#include "base/runtime_failure.hpp"
#include "shell/open_link.hpp"
#include "shell/open_link_win32.hpp"

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

// Through the real ShellExecuteA: Wine's shell gives http links to the host's xdg-open, which the
// test's PATH makes a recording stand-in. Skipped where that stand-in is not set up.
TEST(OpenLink, ReachesTheDesktopsHandlerWithTheLinkInTheFolder) {
    const char* records = std::getenv("QMZ_TEST_RECORDS");
    const char* folder = std::getenv("QMZ_TEST_FOLDER");
    if (records == nullptr || folder == nullptr) {
        GTEST_SKIP() << "QMZ_TEST_RECORDS and QMZ_TEST_FOLDER name no stand-in handler";
    }
    const auto onDriveZ = [](std::string path) {  // Wine shows the Unix file system as drive Z:
        std::ranges::replace(path, '/', '\\');
        return std::filesystem::path("Z:" + path);
    };
    std::filesystem::remove_all(onDriveZ(records));
    std::filesystem::create_directories(onDriveZ(records));

    LinkHandoff().Open(0, u"OPEN", u"http://media.site.test/s/\u00e9\u00e9/\u00e9\u00e9\uff02CD34.flv", onDriveZ(folder).native(), {});

    std::string record;
    for (int attempt = 0; attempt < 300 && record.empty(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (const auto& entry : std::filesystem::directory_iterator(onDriveZ(records))) {
            if (entry.path().extension() == ".started") {
                std::ifstream in(entry.path(), std::ios::binary);
                record.assign(std::istreambuf_iterator<char>(in), {});
            }
        }
    }
    // argc, working folder, inherited-descriptor flag, then each argument NUL-terminated.
    EXPECT_EQ(record, "1\n" + std::string(folder) + "\nno\n" +
                          "http://media.site.test/s/\xc3\xa9\xc3\xa9/\xc3\xa9\xc3\xa9\xef\xbc\x82" "CD34.flv" +
                          std::string(1, '\0')) << "no handler started within 30 seconds, or not as asked";
}

}  // namespace
}  // namespace qmz
