#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "base/runtime_failure.hpp"
#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"
#include "tests/support/paste_cases.hpp"
#include "win32/form.hpp"

// The Win32 window under Wine, as the runtime and a screen reader meet it. The user's own journeys
// through it (clicks, keys, the real shell) are in tests/journeys.
namespace qmz {
namespace {

const Text PageLink = Text(PageLinkPrefix) + u"ab12CD34";

std::size_t IndexOf(std::string_view name) {
    const auto& controls = MainForm().controls;
    return static_cast<std::size_t>(std::ranges::find(controls, name, &ControlDescription::name) - controls.begin());
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Runs the messages waiting, as the program's message loop does.
void Pump(Win32Form& form) {
    for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        if (!form.HandleDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Runs body on a thread of the system's own (the Windows build's C++ library has no std::thread);
// the caller waits for the handle and closes it.
HANDLE StartThread(const std::function<void()>& body) {
    return CreateThread(nullptr, 0, [](void* run) -> DWORD { (*static_cast<const std::function<void()>*>(run))(); return 0; },
                        const_cast<std::function<void()>*>(&body), 0, nullptr);
}

HWND Control(const Win32Form& form, std::string_view name) {
    return GetDlgItem(form.Window(), ControlId(IndexOf(name)));
}

class Win32FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.Show(SW_SHOWNORMAL);
        Pump(form);
    }

    void Click(std::string_view name) {
        SendMessageW(Control(form, name), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(Control(form, name), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        Pump(form);
    }

    // What each action asked the shell to open: owner, verb, link, folder.
    using Request = std::tuple<WindowHandle, std::u16string, std::u16string, std::wstring>;
    std::vector<Request> opened;
    std::function<void()> shellFailure;
    Win32Form form{MainForm(), [this](WindowHandle owner, auto verb, auto target, const auto& folder, const auto&) {
        if (shellFailure) {
            shellFailure();
        }
        opened.emplace_back(owner, verb, target, folder);
    }};
};

// Runs at the system's DPI: 96, and 144 in form_win32_test_144dpi (QMZ_TEST_DPI). The window and
// every control stand where the description places them at that density, in a fixed frame.
TEST_F(Win32FormTest, LaysOutEveryControlAtTheSystemDpi) {
    const int dpi = static_cast<int>(GetDpiForWindow(form.Window()));
    const char* asked = std::getenv("QMZ_TEST_DPI");
    ASSERT_EQ(dpi, asked != nullptr ? std::atoi(asked) : 96) << "the system runs at another DPI than asked for";
    const auto px = [dpi](int twips) -> LONG { return TwipsToPixels(twips, dpi); };
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(form.Window(), GWL_STYLE));
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0u) << "a fixed frame";
    RECT client{};
    GetClientRect(form.Window(), &client);
    EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(px(MainForm().clientWidth), px(MainForm().clientHeight)));
    for (const ControlDescription& control : MainForm().controls) {
        RECT place{};
        GetWindowRect(Control(form, control.name), &place);
        MapWindowPoints(HWND_DESKTOP, form.Window(), reinterpret_cast<POINT*>(&place), 2);
        const auto [left, top, width, height] = control.place;
        EXPECT_EQ((std::array{place.left, place.top, place.right, place.bottom}),
                  (std::array{px(left), px(top), px(left) + px(width), px(top) + px(height)})) << control.name;
    }
}

// Whatever the shell's side throws, no exception leaves a click: Download stays silent, the banner
// reports in a message box over the window, and the window goes on with its text.
TEST_F(Win32FormTest, ReportsAFailedSiteLinkInAMessageBoxAndGoesOn) {
    const std::pair<std::function<void()>, std::wstring> failures[] = {
        {[] { throw RuntimeFailure("The shell is out of reach."); }, L"The shell is out of reach."},
        {[] { throw std::bad_alloc(); }, L"could not be opened"},
    };
    for (const auto& [failure, expected] : failures) {
        shellFailure = failure;
        std::vector<std::wstring> reported;
        std::vector<HWND> owners;
        std::atomic<bool> clicked = false;
        const std::function<void()> answer = [&] {
            while (!clicked) {
                if (const HWND box = FindWindowW(L"#32770", L"QMZ")) {
                    owners.push_back(GetWindow(box, GW_OWNER));
                    reported.emplace_back();
                    EnumChildWindows(box, [](HWND child, LPARAM text) {
                        *reinterpret_cast<std::wstring*>(text) += TextOf(child);
                        return TRUE;
                    }, reinterpret_cast<LPARAM>(&reported.back()));
                    SendMessageW(box, WM_COMMAND, IDOK, 0);
                }
                Sleep(10);
            }
        };
        const HANDLE answerer = StartThread(answer);
        form.WritePageLinkBox(PageLink);
        Click("Command1");
        Click("Label1");
        clicked = true;
        WaitForSingleObject(answerer, INFINITE);
        CloseHandle(answerer);
        ASSERT_EQ(reported.size(), 1u) << "one message box, for the banner only";
        EXPECT_NE(reported[0].find(expected), std::wstring::npos);
        EXPECT_EQ(owners[0], form.Window());
        EXPECT_EQ(form.ReadPageLinkBox(), PageLink);
    }
    shellFailure = nullptr;
    Click("Label2");
    EXPECT_EQ(opened.size(), 1u) << "the window no longer answers clicks";
}

TEST_F(Win32FormTest, ReadsAndWritesTheTextBoxExactly) {
    EXPECT_EQ(form.ReadPageLinkBox(), u"");
    for (const Text& text : {u" \t" + PageLink + u" ", Text(u"\U0001F600\u00e9\u200F"), Text()}) {
        form.WritePageLinkBox(text);
        EXPECT_EQ(form.ReadPageLinkBox(), text);
        EXPECT_EQ(TextOf(Control(form, "Text1")), std::wstring(text.begin(), text.end()));
    }
    // Typed or pasted past an edit control's default limit of 32767 characters, the text stays whole.
    const std::wstring typed = std::wstring(70000, L'x') + L"\U0001F600";
    SendMessageW(Control(form, "Text1"), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(typed.c_str()));
    const Text read = form.ReadPageLinkBox();
    EXPECT_TRUE(read == Text(typed.begin(), typed.end())) << read.size() << " characters";

    DestroyWindow(form.Window());
    EXPECT_THROW(form.ReadWindowHandle(), RuntimeFailure);
    EXPECT_THROW(form.ReadPageLinkBox(), RuntimeFailure);
    EXPECT_THROW(form.WritePageLinkBox(u"x"), RuntimeFailure);
}

// The paste cases both faces share, through the system's clipboard: the box keeps the text up to
// its first line break, and Download and Get Link work on what it kept.
TEST_F(Win32FormTest, TheBoxTakesAPastedTextUpToItsFirstLineBreak) {
    const HWND box = Control(form, "Text1");
    std::vector<Request> expectedOpens;
    for (const auto& paste : testing_support::PasteCases()) {
        form.WritePageLinkBox(paste.before);
        SendMessageW(box, EM_SETSEL, paste.at, static_cast<LPARAM>(paste.at));
        const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (paste.pasted.size() + 1) * sizeof(char16_t));
        std::ranges::copy(paste.pasted + u'\0', static_cast<char16_t*>(GlobalLock(data)));
        GlobalUnlock(data);
        ASSERT_TRUE(OpenClipboard(form.Window()) && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, data));
        CloseClipboard();
        SendMessageW(box, WM_PASTE, 0, 0);
        ASSERT_EQ(form.ReadPageLinkBox(), paste.kept) << paste.name;
        Click("Command1");
        Click("Command2");
        const auto mediaLink = DeriveMediaLink(paste.kept);
        EXPECT_EQ(form.ReadPageLinkBox(), mediaLink.value_or(Text())) << paste.name;
        if (mediaLink) {
            expectedOpens.emplace_back(reinterpret_cast<WindowHandle>(form.Window()), u"OPEN", *mediaLink,
                                       form.ReadProgramFolder());
        }
    }
    EXPECT_EQ(opened, expectedOpens);
}

// What the window tells screen readers, seen through a recording annotation: each control's name (the
// description's accessible name, else its caption), its accessible description, the link role for the
// banner; and every annotation dropped when the window goes.
TEST_F(Win32FormTest, AnnotatesEveryControlForScreenReadersFromTheDescription) {
    using Call = std::tuple<HWND, std::string, std::wstring>;
    struct Recording final : AccessibleAnnotation {
        explicit Recording(std::vector<Call>& calls) : calls(calls) {}
        void SetText(HWND control, AccessibleText property, const std::wstring& value) override {
            calls.emplace_back(control, property == AccessibleText::Name ? "name" : "description", value);
        }
        void SetLinkRole(HWND control) override { calls.emplace_back(control, "link role", L""); }
        void Clear(HWND control) override { calls.emplace_back(control, "cleared", L""); }
        std::vector<Call>& calls;
    };
    std::vector<Call> calls;
    auto annotated = std::make_unique<Win32Form>(MainForm(), [](auto&&...) {}, std::make_unique<Recording>(calls));
    const auto at = [&](std::string_view name) { return Control(*annotated, name); };
    const std::string_view description = MainForm().controls[IndexOf("Text1")].accessibleDescription;
    EXPECT_EQ(calls, (std::vector<Call>{
                         {at("Text1"), "name", L"Video page link"},
                         {at("Text1"), "description", std::wstring(description.begin(), description.end())},
                         {at("Command1"), "name", L"Download"},
                         {at("Label1"), "name", L"VBOX"}, {at("Label1"), "link role", L""},
                         {at("Label2"), "name", L"7"}, {at("Label2"), "link role", L""},
                         {at("Label3"), "name", L"Still ownin' ya"},
                         {at("Label4"), "name", L"Quib"},
                         {at("Label5"), "name", L"Hi to the crew!"},
                         {at("Command2"), "name", L"Get Link"},
                     }));
    std::vector<Call> cleared;
    for (const ControlDescription& control : MainForm().controls) {
        cleared.emplace_back(at(control.name), "cleared", L"");
    }
    calls.clear();
    annotated.reset();
    EXPECT_EQ(calls, cleared);
}

}  // namespace
}  // namespace qmz
