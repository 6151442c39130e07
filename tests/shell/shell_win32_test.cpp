#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/runtime_failure.hpp"
#include "shell/ansi_text_win32.hpp"
#include "shell/open_link_win32.hpp"

// The shell layer on Windows: the exact call of ShellExecuteA and text without look-alikes. Wine's shell reaching the desktop's handler is a journey (tests/journeys).

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

// The shell gets the exact texts (the program's manifest asks for UTF-8 as the code page, which keeps
// every character), no parameters and the normal show command; or, for a link that it cannot get
// whole, nothing: a NUL would cut the text short where the shell reads it, and half a
// character has no UTF-8 form.
TEST(OpenLinkWith, HandsTheShellTheExactTextsOrNothing) {
    calls.clear();
    EXPECT_THROW(OpenLinkWith(&RecordingShellExecute, 0, u"open", std::u16string(u"http://x/a\0b.flv", 16), LR"(C:\)"),
                 RuntimeFailure);
    EXPECT_THROW(OpenLinkWith(&RecordingShellExecute, 0, u"open", u"http://x/a\xD83D/a.flv", LR"(C:\)"), RuntimeFailure);
    OpenLinkWith(&RecordingShellExecute, 0x7, u"OPEN", u"http://x/\u00e9\uff02\U0001F600.flv", L"D:\\\u00c4\u4e2d");
    EXPECT_EQ(calls, (std::vector<ShellCall>{{reinterpret_cast<HWND>(0x7), "OPEN", "http://x/\xc3\xa9\xef\xbc\x82\xf0\x9f\x98\x80.flv",
                                              true, "D:\\\xc3\x84\xe4\xb8\xad", SW_SHOWNORMAL}}));
}

TEST(ToAnsiText, NeverMapsAMissingCharacterToALookAlike) {
    // The fullwidth quote is the classic case: best fit would make it a real quote.
    char bestFit[4] = {};
    ASSERT_EQ(WideCharToMultiByte(1252, 0, L"\uff02", 1, bestFit, sizeof bestFit, nullptr, nullptr), 1);
    ASSERT_EQ(bestFit[0], '"') << "this system has no best fit for U+FF02, so the test below proves nothing";
    const std::tuple<UINT, const wchar_t*, std::string> cases[] = {
        {1252, L"\uff02 \uff07 \u2215 \uff3c \u00a5", "? ? ? ? \xa5"},
        {1251, L"\u0416\uff02", "\xc6?"},
        {CP_UTF8, L"\uff02\u00e9", "\xef\xbc\x82\xc3\xa9"},
    };
    for (const auto& [codePage, text, expected] : cases) {
        EXPECT_EQ(ToAnsiText(text, codePage), expected) << "code page " << codePage;
    }
}

}  // namespace
}  // namespace qmz
