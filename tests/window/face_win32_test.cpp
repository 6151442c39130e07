// The Win32 face under test, under Wine: its driver for the shared cases, and what it tells screen
// readers. The user's own journeys through it (clicks, keys, the real shell) are in tests/journeys.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "base/wide_text_win32.hpp"
#include "link/utf8.hpp"
#include "tests/window/face_driver.hpp"
#include "win32/form.hpp"

namespace qmz {
namespace {

HWND Control(const Win32Form& form, std::string_view name) {
    const auto& controls = MainForm().controls;
    const auto index = std::ranges::find(controls, name, &ControlDescription::name) - controls.begin();
    return GetDlgItem(form.Window(), ControlId(static_cast<std::size_t>(index)));
}

class Win32Face final : public testing_support::FaceDriver {
public:
    explicit Win32Face(LinkOpener opener) : form_(MainForm(), std::move(opener)) {
        form_.Show(SW_SHOWNORMAL);
        // A message box runs a message loop of its own, which calls the timer's procedure too.
        SetPropW(form_.Window(), L"qmz-test-messages", &messages_);
        SetTimer(form_.Window(), 1, 10, AnswerMessageBox);
        Pump();
    }
    Win32Form& Form() override { return form_; }
    void Click(std::string_view control) override {
        SendMessageW(Control(form_, control), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(Control(form_, control), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        Pump();
    }
    std::vector<std::string> Messages() const override { return messages_; }
    testing_support::DevicePlace Place(std::string_view control) const override {
        RECT place{};
        if (control == MainForm().name) {
            GetClientRect(form_.Window(), &place);
        } else {
            GetWindowRect(Control(form_, control), &place);
            MapWindowPoints(HWND_DESKTOP, form_.Window(), reinterpret_cast<POINT*>(&place), 2);
        }
        return {double(place.left), double(place.top), double(place.right - place.left), double(place.bottom - place.top)};
    }
    double Dpi() const override { return GetDpiForWindow(form_.Window()); }
    double Rounding() const override { return 1; }  // whole pixels, a width between two rounded edges

private:
    // Runs the messages waiting, as the program's message loop does.
    void Pump() {
        for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            if (!form_.HandleDialogMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    static void CALLBACK AnswerMessageBox(HWND window, UINT, UINT_PTR, DWORD) {
        const HWND box = FindWindowW(L"#32770", L"QMZ");
        if (box == nullptr || GetWindow(box, GW_OWNER) != window) {
            return;
        }
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);  // the message's own static control
        static_cast<std::vector<std::string>*>(GetPropW(window, L"qmz-test-messages"))->push_back(ToUtf8(AsText(text)));
        SendMessageW(box, WM_COMMAND, IDOK, 0);
    }

    Win32Form form_;
    std::vector<std::string> messages_;
};

// What the window tells screen readers, seen through a recording annotation: each control's name
// (the description's accessible name, else its caption) and accessible description, the link role
// for the banner.
TEST(FaceWin32, AnnotatesEveryControlForScreenReadersFromTheDescription) {
    using Call = std::tuple<HWND, std::string, std::string>;
    struct Recording final : AccessibleAnnotation {
        explicit Recording(std::vector<Call>& calls) : calls(calls) {}
        void SetText(HWND control, AccessibleText property, const std::wstring& value) override {
            calls.emplace_back(control, property == AccessibleText::Name ? "name" : "description", ToUtf8(AsText(value)));
        }
        void SetLinkRole(HWND control) override { calls.emplace_back(control, "link role", ""); }
        void Clear(HWND control) override { calls.emplace_back(control, "cleared", ""); }
        std::vector<Call>& calls;
    };
    std::vector<Call> calls;
    auto form = std::make_unique<Win32Form>(MainForm(), [](auto&&...) {}, std::make_unique<Recording>(calls));
    std::vector<Call> expected;
    for (const ControlDescription& control : MainForm().controls) {
        const HWND window = Control(*form, control.name);
        expected.emplace_back(window, "name", control.accessibleName.empty() ? control.caption : control.accessibleName);
        if (!control.accessibleDescription.empty()) {
            expected.emplace_back(window, "description", control.accessibleDescription);
        }
        if (control.onClick == ClickAction::SiteLink) {
            expected.emplace_back(window, "link role", "");
        }
    }
    EXPECT_EQ(calls, expected);
}

}  // namespace

std::unique_ptr<testing_support::FaceDriver> testing_support::StartFace(LinkOpener opener) {
    return std::make_unique<Win32Face>(std::move(opener));
}

}  // namespace qmz
