#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/runtime_failure.hpp"
#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"
#include "resources/icon.hpp"
#include "resources/xpm_image.hpp"
#include "tests/support/paste_cases.hpp"
#include "win32/form.hpp"

namespace qmz {
namespace {

const Text PageLink = Text(PageLinkPrefix) + u"ab12CD34";

std::size_t IndexOf(std::string_view name) {
    const auto& controls = MainForm().controls;
    return static_cast<std::size_t>(std::ranges::find(controls, name, &ControlDescription::name) - controls.begin());
}

const ControlDescription& Described(std::string_view name) {
    return MainForm().controls[IndexOf(name)];
}
const Text MediaLink = Text(MediaLinkPrefix) + u"ab/ab12CD34.flv";

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The pixels of a bitmap as 0xRRGGBB, row by row from the top.
std::vector<std::uint32_t> PixelsOf(HDC context, HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    EXPECT_EQ(GetDIBits(context, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS), height);
    std::ranges::for_each(pixels, [](std::uint32_t& pixel) { pixel &= 0xFFFFFF; });
    return pixels;
}

// What the control paints, as the window would show it.
std::vector<std::uint32_t> Render(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    const HDC screen = GetDC(nullptr);
    const HDC context = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ previous = SelectObject(context, bitmap);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(context), PRF_CLIENT | PRF_ERASEBKGND);
    SelectObject(context, previous);
    auto pixels = PixelsOf(context, bitmap, client.right, client.bottom);
    DeleteObject(bitmap);
    DeleteDC(context);
    ReleaseDC(nullptr, screen);
    return pixels;
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

// A key press as the message loop gets it from the keyboard.
void PressKey(Win32Form& form, WPARAM key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 1);
    Pump(form);
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

// Runs at the system's DPI: 96, and 144 in form_win32_test_144dpi (QMZ_TEST_DPI).
TEST_F(Win32FormTest, LaysOutEveryControlAtTheSystemDpi) {
    const int dpi = static_cast<int>(GetDpiForWindow(form.Window()));
    const char* asked = std::getenv("QMZ_TEST_DPI");
    ASSERT_EQ(dpi, asked != nullptr ? std::atoi(asked) : 96) << "the system runs at another DPI than asked for";
    // At 96 DPI the figures below; at any other, the layout's twips at that DPI.
    const auto px = [dpi](int twips) -> LONG { return TwipsToPixels(twips, dpi); };
    const auto expected = [&](std::string_view name, std::array<LONG, 4> at96) {
        const auto [left, top, width, height] = Described(name).place;
        return dpi == 96 ? at96 : std::array{px(left), px(top), px(left) + px(width), px(top) + px(height)};
    };

    EXPECT_EQ(TextOf(form.Window()), L"QMZ");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(form.Window(), GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)) << "a fixed thin frame, no maximize box";
    RECT client{};
    GetClientRect(form.Window(), &client);
    EXPECT_EQ(std::pair(client.right, client.bottom), dpi == 96 ? std::pair(233L, 87L) : std::pair(px(3495), px(1305)));

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, UINT(dpi)));
    LOGFONTW arialBlack{};
    arialBlack.lfCharSet = DEFAULT_CHARSET;
    wcscpy(arialBlack.lfFaceName, L"Arial Black");
    const HDC screen = GetDC(nullptr);
    const bool hasArialBlack = EnumFontFamiliesExW(screen, &arialBlack, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) { return 0; }, 0, 0) == 0;
    ReleaseDC(nullptr, screen);
    const struct {
        std::string_view name;
        const wchar_t* windowClass;
        const wchar_t* caption;
        DWORD type;                // the style's low bits: no default button, Label4 right-aligned
        std::array<LONG, 4> at96;  // left, top, right, bottom
        bool banner;               // Arial Black, else the dialog font
    } controls[] = {
        {"Text1", L"Edit", L"", ES_LEFT, {8, 40, 225, 59}, false},
        {"Command1", L"Button", L"Download", BS_PUSHBUTTON, {168, 64, 229, 81}, false},
        {"Label1", L"Static", L"VBOX", SS_LEFT, {8, 0, 97, 41}, true},
        {"Label2", L"Static", L"7", SS_LEFT, {96, 0, 113, 33}, true},
        {"Label3", L"Static", L"Still ownin' ya", SS_LEFT, {128, 0, 225, 17}, false},
        {"Label4", L"Static", L"Quib", SS_RIGHT, {128, 16, 209, 33}, false},
        {"Label5", L"Static", L"Hi to the crew!", SS_LEFT, {1, 64, 98, 81}, false},
        {"Command2", L"Button", L"Get Link", BS_PUSHBUTTON, {104, 64, 161, 81}, false},
    };
    for (const auto& c : controls) {
        const HWND control = Control(form, c.name);
        ASSERT_TRUE(IsWindowVisible(control)) << c.name;
        wchar_t windowClass[16] = {};
        GetClassNameW(control, windowClass, 16);
        EXPECT_EQ(_wcsicmp(windowClass, c.windowClass), 0) << c.name << " is a " << windowClass;
        EXPECT_EQ(TextOf(control), c.caption) << c.name;
        EXPECT_EQ(GetWindowLongPtrW(control, GWL_STYLE) & 0xF, c.type) << c.name;
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(HWND_DESKTOP, form.Window(), reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ((std::array{place.left, place.top, place.right, place.bottom}), expected(c.name, c.at96)) << c.name;

        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        if (c.banner) {
            // 20.25 points in whole pixels: 27 at 96 DPI, 40.5 rounded to 41 at 144. Cyrillic. Arial
            // Black at normal weight where the system has it; a black-weight stand-in elsewhere.
            const auto [face, weight] = hasArialBlack ? std::pair(std::wstring(L"Arial Black"), 400L) : std::pair(std::wstring(), 900L);
            EXPECT_EQ(std::tuple(std::wstring(font.lfFaceName), font.lfHeight, font.lfWeight, font.lfCharSet),
                      std::tuple(face, dpi == 96 ? -27 : -41, weight, BYTE{204})) << c.name;
            EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut) << c.name;
        } else {
            EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName) << c.name;
            EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight) << c.name;
        }
    }
}

// Also run at 144 DPI.
TEST_F(Win32FormTest, TabOrderStartsInTheTextBoxAndWalksTheButtonsNeverALabel) {
    for (const char* next : {"Text1", "Command1", "Command2", "Text1", "Command1"}) {
        EXPECT_EQ(GetFocus(), Control(form, next)) << next;
        PressKey(form, VK_TAB);
    }
}

TEST_F(Win32FormTest, RunsEachControlsActionOnItsClickAndNoneOnEnterOrEscape) {
    const std::tuple<std::string_view, std::u16string_view, Text, Text> cases[] = {
        // control, verb (none: nothing opened), link opened, text afterwards
        {"Command1", u"OPEN", MediaLink, PageLink}, {"Command2", u"", u"", MediaLink},
        {"Label1", u"open", Text(SiteHomeLink), PageLink}, {"Label2", u"open", Text(SiteHomeLink), PageLink},
        {"Label3", u"", u"", PageLink}, {"Label4", u"", u"", PageLink},
        {"Label5", u"", u"", PageLink}, {"Text1", u"", u"", PageLink},
    };
    for (const auto& [control, verb, link, textAfter] : cases) {
        opened.clear();
        form.WritePageLinkBox(PageLink);
        Click(control);
        std::vector<Request> expected;
        if (!verb.empty()) {
            expected.emplace_back(reinterpret_cast<WindowHandle>(form.Window()), verb, link,
                                  form.ReadProgramFolder());
        }
        EXPECT_EQ(opened, expected) << control;
        EXPECT_EQ(form.ReadPageLinkBox(), textAfter) << control;
    }
    opened.clear();
    form.WritePageLinkBox(PageLink);
    SetFocus(Control(form, "Text1"));
    PressKey(form, VK_RETURN);
    PressKey(form, VK_ESCAPE);
    EXPECT_TRUE(opened.empty()) << "Download ran";
    EXPECT_EQ(form.ReadPageLinkBox(), PageLink) << "Get Link ran";
    EXPECT_TRUE(IsWindow(form.Window()));
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

TEST_F(Win32FormTest, ColoursOnlyLabel2sTextRed) {
    constexpr std::uint32_t Red = 0xED0F64;  // 237, 15, 100
    EXPECT_GT(std::ranges::count(Render(Control(form, "Label2")), Red), 20);
    for (const char* name : {"Label1", "Label3", "Label4", "Label5"}) {
        const auto pixels = Render(Control(form, name));
        EXPECT_EQ(std::ranges::count(pixels, Red), 0) << name;
        EXPECT_GT(std::ranges::count(pixels, GetSysColor(COLOR_WINDOWTEXT) & 0xFFFFFF), 0) << name << " shows no text";
    }
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
    const std::string_view description = Described("Text1").accessibleDescription;
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

// What a screen reader gets from the real window through the system's accessible objects: each
// control's name, role and description. Where the system takes no annotations (Wine's oleacc answers
// SetHwndPropStr with E_NOTIMPL), the test is skipped and shows what a screen reader gets instead.
TEST_F(Win32FormTest, ScreenReadersGetEachControlsNameRoleAndDescription) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    const auto wide = [](std::string_view text) { return std::wstring(text.begin(), text.end()); };
    std::wostringstream got, expected, calls;
    HRESULT annotating = E_FAIL;
    {
        const Win32Form annotated(MainForm(), [](auto&&...) {});
        IAccPropServices* services = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                   reinterpret_cast<void**>(&services)), S_OK);
        annotating = services->SetHwndPropStr(annotated.Window(), DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_HELP, L"?");
        services->Release();
        for (const ControlDescription& control : MainForm().controls) {
            IAccessible* accessible = nullptr;
            ASSERT_EQ(AccessibleObjectFromWindow(Control(annotated, control.name), DWORD(OBJID_CLIENT), IID_IAccessible,
                                                 reinterpret_cast<void**>(&accessible)), S_OK) << control.name;
            VARIANT self{}, role{};
            self.vt = VT_I4;  // and lVal CHILDID_SELF, 0: the control itself
            BSTR texts[2] = {};
            const HRESULT results[] = {accessible->get_accName(self, &texts[0]), accessible->get_accRole(self, &role),
                                       accessible->get_accDescription(self, &texts[1])};
            accessible->Release();
            const std::wstring name = texts[0] ? texts[0] : L"", description = texts[1] ? texts[1] : L"";
            std::ranges::for_each(texts, SysFreeString);
            got << wide(control.name) << L": \"" << name << L"\", " << role.lVal << L", \"" << description << L"\"\n";
            calls << wide(control.name) << std::hex << L": get_accName " << results[0] << L" \"" << name
                  << L"\", get_accRole " << results[1] << L" " << std::dec << role.lVal << std::hex
                  << L", get_accDescription " << results[2] << L" \"" << description << L"\"\n";
            const long expectedRole = control.kind == ControlKind::TextBox       ? ROLE_SYSTEM_TEXT
                                      : control.kind == ControlKind::PushButton  ? ROLE_SYSTEM_PUSHBUTTON
                                      : control.onClick == ClickAction::SiteLink ? ROLE_SYSTEM_LINK
                                                                                 : ROLE_SYSTEM_STATICTEXT;
            expected << wide(control.name) << L": \""
                     << wide(control.accessibleName.empty() ? control.caption : control.accessibleName) << L"\", "
                     << expectedRole << L", \"" << wide(control.accessibleDescription) << L"\"\n";
        }
    }
    CoUninitialize();
    if (annotating == E_NOTIMPL) {
        GTEST_SKIP() << "The system takes no annotations (IAccPropServices::SetHwndPropStr answers E_NOTIMPL). Through "
                        "AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible), CHILDID_SELF:\n" << calls.str();
    }
    EXPECT_EQ(got.str(), expected.str());
}

TEST_F(Win32FormTest, ShowsTheProgramIconMadeFromItsXpm) {
    const XpmImage source = ReadXpm(qmz_icon_xpm);
    ICONINFO icon{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(GetClassLongPtrW(form.Window(), GCLP_HICON)), &icon));
    const HDC screen = GetDC(nullptr);
    const auto colours = PixelsOf(screen, icon.hbmColor, source.width, source.height);
    const auto mask = PixelsOf(screen, icon.hbmMask, source.width, source.height);
    ReleaseDC(nullptr, screen);
    std::vector<std::optional<std::uint32_t>> shown;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        shown.push_back(mask[i] != 0 ? std::nullopt : std::optional(colours[i]));
    }
    EXPECT_EQ(shown, source.pixels);
}

}  // namespace
}  // namespace qmz
