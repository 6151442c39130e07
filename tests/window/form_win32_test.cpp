#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/link_constants.hpp"
#include "resources/icon.hpp"
#include "resources/xpm_image.hpp"
#include "window/font_win32.hpp"
#include "window/form_win32.hpp"

namespace qmz {
namespace {

const Text PageLink = Text(PageLinkPrefix) + u"ab12CD34";
const Text MediaLink = Text(MediaLinkPrefix) + u"ab/ab12CD34.flv";

struct OpenRequest {
    WindowHandle owner;
    std::u16string verb;
    std::u16string target;
    std::filesystem::path folder;
};

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The control's place in its parent's client area.
RECT PlaceOf(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    GetObjectW(handle, sizeof font, &font);
    return font;
}

// The pixels of a 32-bit top-down DIB as 0xRRGGBB, row by row.
std::vector<std::uint32_t> ReadPixels(HDC context, HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    EXPECT_EQ(GetDIBits(context, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS), height);
    for (auto& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
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
    std::vector<std::uint32_t> pixels = ReadPixels(context, bitmap, client.right, client.bottom);
    DeleteObject(bitmap);
    DeleteDC(context);
    ReleaseDC(nullptr, screen);
    return pixels;
}

class Win32FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Win32Form>(MainForm(), [this](WindowHandle owner, std::u16string_view verb,
                                                               std::u16string_view target,
                                                               const std::filesystem::path& folder) {
            if (shellFails) {
                throw RuntimeFailure("The shell is out of reach.");
            }
            opened.push_back({owner, std::u16string(verb), std::u16string(target), folder});
        }, Win32Form::OnClose::DestroyWindowOnly);
        form->Show(SW_SHOWNORMAL);
        Pump();
    }

    void Pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!form->HandleDialogMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

    // A key press as the message loop gets it from the keyboard.
    void PressKey(WPARAM key) {
        for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) {
            MSG press{GetFocus(), message, key, 1, static_cast<DWORD>(GetMessageTime()), {}};
            if (!form->HandleDialogMessage(press)) {
                TranslateMessage(&press);
                DispatchMessageW(&press);
            }
            Pump();
        }
    }

    void Click(std::string_view name) {
        HWND control = form->Control(name);
        if (ClassOf(control) == L"Button") {
            SendMessageW(control, BM_CLICK, 0, 0);
        } else {
            SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        }
        Pump();
    }

    std::unique_ptr<Win32Form> form;
    std::vector<OpenRequest> opened;
    bool shellFails = false;
};

TEST_F(Win32FormTest, ShowsEveryControlWithItsCaptionAndKind) {
    EXPECT_EQ(TextOf(form->Window()), L"QMZ");
    struct Expected {
        std::string_view name;
        const wchar_t* windowClass;
        const wchar_t* caption;
    };
    const Expected controls[] = {
        {"Text1", L"Edit", L""},           {"Command1", L"Button", L"Download"},
        {"Label1", L"Static", L"VBOX"},    {"Label2", L"Static", L"7"},
        {"Label3", L"Static", L"Still ownin' ya"}, {"Label4", L"Static", L"Quib"},
        {"Label5", L"Static", L"Hi to the crew!"}, {"Command2", L"Button", L"Get Link"},
    };
    for (const Expected& expected : controls) {
        HWND control = form->Control(expected.name);
        ASSERT_NE(control, nullptr) << expected.name;
        EXPECT_TRUE(IsWindowVisible(control)) << expected.name;
        EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), expected.windowClass), 0) << expected.name;
        EXPECT_EQ(TextOf(control), expected.caption) << expected.name;
    }
}

TEST_F(Win32FormTest, HasA233By87ClientAreaInAFixedThinFrameAt96Dpi) {
    ASSERT_EQ(GetDpiForWindow(form->Window()), 96u) << "the pixel figures below are for 96 DPI";
    RECT client{};
    GetClientRect(form->Window(), &client);
    EXPECT_EQ(client.right - client.left, 233);
    EXPECT_EQ(client.bottom - client.top, 87);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(form->Window(), GWL_STYLE));
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the user does not resize the window";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
}

TEST_F(Win32FormTest, PlacesEveryControlAsTheFormWasLaidOut) {
    ASSERT_EQ(GetDpiForWindow(form->Window()), 96u);
    // left, top, right, bottom in pixels: the twips of the layout divided by 15.
    const std::pair<std::string_view, RECT> places[] = {
        {"Text1", {8, 40, 225, 59}},    {"Command1", {168, 64, 229, 81}}, {"Label1", {8, 0, 97, 41}},
        {"Label2", {96, 0, 113, 33}},   {"Label3", {128, 0, 225, 17}},    {"Label4", {128, 16, 209, 33}},
        {"Label5", {1, 64, 98, 81}},    {"Command2", {104, 64, 161, 81}},
    };
    for (const auto& [name, expected] : places) {
        const RECT place = PlaceOf(form->Control(name));
        EXPECT_EQ(place.left, expected.left) << name;
        EXPECT_EQ(place.top, expected.top) << name;
        EXPECT_EQ(place.right, expected.right) << name;
        EXPECT_EQ(place.bottom, expected.bottom) << name;
    }
}

// Runs at whatever DPI the system has; the tests run it at 96 and at 144 (QMZ_TEST_DPI).
TEST_F(Win32FormTest, FollowsTheSystemDpi) {
    const int dpi = static_cast<int>(GetDpiForWindow(form->Window()));
    if (const char* expected = std::getenv("QMZ_TEST_DPI")) {
        ASSERT_EQ(dpi, std::atoi(expected)) << "the system runs at another DPI than the test asks for";
    }
    const FormDescription& description = MainForm();
    RECT client{};
    GetClientRect(form->Window(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(description.clientWidth, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(description.clientHeight, dpi));
    for (const ControlDescription& control : description.controls) {
        const RECT place = PlaceOf(form->Control(control.name));
        EXPECT_EQ(place.left, TwipsToPixels(control.place.left, dpi)) << control.name;
        EXPECT_EQ(place.top, TwipsToPixels(control.place.top, dpi)) << control.name;
        EXPECT_EQ(place.right - place.left, TwipsToPixels(control.place.width, dpi)) << control.name;
        EXPECT_EQ(place.bottom - place.top, TwipsToPixels(control.place.height, dpi)) << control.name;
    }
}

TEST_F(Win32FormTest, StartsWithTheFocusInTheTextBoxAndTabsThroughTheTwoButtons) {
    EXPECT_EQ(GetFocus(), form->Control("Text1"));
    const std::string_view order[] = {"Command1", "Command2", "Text1", "Command1"};
    for (const std::string_view next : order) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), form->Control(next)) << "Tab should reach " << next;
    }
}

TEST_F(Win32FormTest, EnterAndEscapePressNoButtonAndKeepTheWindow) {
    SetWindowTextW(form->Control("Text1"), std::wstring(PageLink.begin(), PageLink.end()).c_str());
    SetFocus(form->Control("Text1"));
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(form->ReadText1(), PageLink) << "Get Link must not have run";
    EXPECT_TRUE(IsWindow(form->Window()));
    for (const std::string_view button : {"Command1", "Command2"}) {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(form->Control(button), GWL_STYLE));
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON)) << button << " looks like a default button";
    }
}

TEST(Win32FormTabOrder, FollowsTheTabIndexNotTheOrderOfTheDescription) {
    const ControlDescription controls[] = {
        {"Text1", ControlKind::TextBox, "", {0, 0, 900, 300}, 2, std::nullopt, std::nullopt, TextAlignment::Left, ClickAction::None},
        {"Late", ControlKind::PushButton, "Late", {0, 300, 900, 300}, 9, std::nullopt, std::nullopt, TextAlignment::Left, ClickAction::None},
        {"First", ControlKind::PushButton, "First", {0, 600, 900, 300}, 0, std::nullopt, std::nullopt, TextAlignment::Left, ClickAction::None},
        {"Label", ControlKind::Label, "Label", {0, 900, 900, 300}, 1, std::nullopt, std::nullopt, TextAlignment::Left, ClickAction::None},
    };
    const FormDescription description{"Form2", "Order", 1000, 1200, controls};
    Win32Form form(description, [](auto&&...) {}, Win32Form::OnClose::DestroyWindowOnly);
    form.Show(SW_SHOWNORMAL);
    EXPECT_EQ(GetFocus(), form.Control("First"));
    HWND focus = form.Control("First");
    for (const std::string_view next : {"Text1", "Late", "First"}) {
        focus = GetNextDlgTabItem(form.Window(), focus, FALSE);
        EXPECT_EQ(focus, form.Control(next)) << next;
    }
}

TEST_F(Win32FormTest, RunsEachControlsActionOnItsClick) {
    struct Case {
        std::string_view control;
        std::vector<std::pair<std::u16string, std::u16string>> opens;  // verb, link
        Text textAfter;
    };
    const Case cases[] = {
        {"Command1", {{u"OPEN", MediaLink}}, PageLink},
        {"Command2", {}, MediaLink},
        {"Label1", {{u"open", Text(SiteHomeLink)}}, PageLink},
        {"Label2", {{u"open", Text(SiteHomeLink)}}, PageLink},
        {"Label3", {}, PageLink},
        {"Label4", {}, PageLink},
        {"Label5", {}, PageLink},
        {"Text1", {}, PageLink},
    };
    for (const Case& c : cases) {
        opened.clear();
        form->WriteText1(PageLink);
        Click(c.control);
        ASSERT_EQ(opened.size(), c.opens.size()) << c.control;
        for (std::size_t i = 0; i < opened.size(); ++i) {
            EXPECT_EQ(opened[i].owner, reinterpret_cast<WindowHandle>(form->Window())) << c.control;
            EXPECT_EQ(opened[i].verb, c.opens[i].first) << c.control;
            EXPECT_EQ(opened[i].target, c.opens[i].second) << c.control;
            EXPECT_EQ(opened[i].folder, form->ReadProgramFolder()) << c.control;
        }
        EXPECT_EQ(form->ReadText1(), c.textAfter) << c.control;
    }
}

TEST_F(Win32FormTest, ReportsASiteLinkFailureInAMessageBoxAndGoesOn) {
    shellFails = true;
    form->WriteText1(PageLink);
    std::wstring reported;
    HWND reportOwner = nullptr;
    std::atomic<bool> done{false};
    std::thread answerer([&] {
        for (int attempt = 0; attempt < 400 && !done; ++attempt) {
            HWND box = FindWindowW(L"#32770", L"QMZ");
            if (box != nullptr) {
                reportOwner = GetWindow(box, GW_OWNER);
                EnumChildWindows(box, [](HWND child, LPARAM text) {
                    if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0) {
                        *reinterpret_cast<std::wstring*>(text) += TextOf(child);
                    }
                    return TRUE;
                }, reinterpret_cast<LPARAM>(&reported));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(25);
        }
    });
    Click("Label1");
    done = true;
    answerer.join();

    EXPECT_NE(reported.find(L"The shell is out of reach."), std::wstring::npos) << "reported: " << reported.size();
    EXPECT_EQ(reportOwner, form->Window());
    EXPECT_TRUE(IsWindow(form->Window()));
    EXPECT_EQ(form->ReadText1(), PageLink);
    shellFails = false;
    Click("Label2");
    EXPECT_EQ(opened.size(), 1u) << "the window still answers clicks";
}

TEST_F(Win32FormTest, DrawsTheBannerInArialBlackAndTheRestInTheDialogFont) {
    const int dpi = static_cast<int>(GetDpiForWindow(form->Window()));
    for (const std::string_view banner : {"Label1", "Label2"}) {
        const LOGFONTW font = FontOf(form->Control(banner));
        EXPECT_STREQ(font.lfFaceName, L"Arial Black") << banner;
        EXPECT_EQ(font.lfHeight, dpi == 96 ? -27 : FontHeightForDpi(202500, dpi)) << banner;
        EXPECT_EQ(font.lfWeight, 400) << banner;
        EXPECT_EQ(font.lfCharSet, 204) << banner;
        EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut) << banner;
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)));
    for (const std::string_view name : {"Text1", "Command1", "Command2", "Label3", "Label4", "Label5"}) {
        const LOGFONTW font = FontOf(form->Control(name));
        EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName) << name;
        EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight) << name;
    }
}

TEST(FontHeightForDpi, GivesTheCharacterHeightInWholePixels) {
    // 20.25 points: 27 pixels at 96 DPI, 33.75 at 120, 40.5 at 144, 54 at 192.
    const std::pair<int, int> cases[] = {{96, -27}, {120, -34}, {144, -41}, {192, -54}, {72, -20}};
    for (const auto& [dpi, height] : cases) {
        EXPECT_EQ(FontHeightForDpi(202500, dpi), height) << dpi;
    }
    EXPECT_EQ(FontHeightForDpi(80000, 96), -11);
}

TEST_F(Win32FormTest, ColoursOnlyLabel2sTextRed) {
    constexpr std::uint32_t Red = 0xED0F64;  // 237, 15, 100
    const auto count = [](const std::vector<std::uint32_t>& pixels, std::uint32_t colour) {
        return std::ranges::count(pixels, colour);
    };
    EXPECT_GT(count(Render(form->Control("Label2")), Red), 20);
    for (const std::string_view name : {"Label1", "Label3", "Label4", "Label5"}) {
        const auto pixels = Render(form->Control(name));
        EXPECT_EQ(count(pixels, Red), 0) << name;
        EXPECT_GT(count(pixels, GetSysColor(COLOR_WINDOWTEXT) & 0xFFFFFF), 0) << name << " shows no text";
    }
}

TEST_F(Win32FormTest, LetsOnlyTheBannerLabelsReportClicks) {
    for (const auto& [name, notifies] : {std::pair{"Label1", true}, {"Label2", true}, {"Label3", false},
                                         {"Label4", false}, {"Label5", false}}) {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(form->Control(name), GWL_STYLE));
        EXPECT_EQ((style & SS_NOTIFY) != 0, notifies) << name;
        EXPECT_FALSE(style & WS_TABSTOP) << name << " must never take the focus";
    }
}

TEST_F(Win32FormTest, KeepsAPastedTextOfAnyLength) {
    // Longer than an edit control's default limit of 32767 characters.
    std::wstring pasted(70000, L'x');
    pasted += L"\U0001F600\u00e9";
    ASSERT_TRUE(OpenClipboard(form->Window()));
    EmptyClipboard();
    const std::size_t bytes = (pasted.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::copy_n(pasted.c_str(), pasted.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    CloseClipboard();

    SendMessageW(form->Control("Text1"), WM_PASTE, 0, 0);
    EXPECT_EQ(form->ReadText1(), Text(pasted.begin(), pasted.end()));
}

TEST_F(Win32FormTest, ReadsAndWritesTheTextBoxExactly) {
    EXPECT_EQ(form->ReadText1(), u"");
    for (const Text& text : {Text(u" \t" + PageLink + u" "), Text(u"\U0001F600\u00e9\u200F"), Text()}) {
        form->WriteText1(text);
        EXPECT_EQ(form->ReadText1(), text);
        EXPECT_EQ(TextOf(form->Control("Text1")), std::wstring(text.begin(), text.end()));
    }
}

TEST_F(Win32FormTest, ReportsAGoneWindowAsARuntimeFailure) {
    EXPECT_EQ(form->ReadWindowHandle(), reinterpret_cast<WindowHandle>(form->Window()));
    DestroyWindow(form->Window());
    EXPECT_THROW(form->ReadWindowHandle(), RuntimeFailure);
    EXPECT_THROW(form->ReadText1(), RuntimeFailure);
    EXPECT_THROW(form->WriteText1(u"x"), RuntimeFailure);
}

TEST_F(Win32FormTest, ShowsTheProgramIconMadeFromItsXpm) {
    const auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(form->Window(), GCLP_HICON));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    const XpmImage source = ReadXpm(qmz_icon_xpm);
    BITMAP colourBitmap{};
    GetObjectW(info.hbmColor, sizeof colourBitmap, &colourBitmap);
    ASSERT_EQ(colourBitmap.bmWidth, source.width);
    ASSERT_EQ(colourBitmap.bmHeight, source.height);
    const HDC screen = GetDC(nullptr);
    const auto colours = ReadPixels(screen, info.hbmColor, source.width, source.height);
    const auto mask = ReadPixels(screen, info.hbmMask, source.width, source.height);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    int differences = 0;
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * source.width + x);
            const auto expected = source.At(x, y);
            const bool transparent = mask[i] != 0;
            if (transparent != !expected.has_value() || (expected && colours[i] != *expected)) {
                ++differences;
            }
        }
    }
    EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace qmz
