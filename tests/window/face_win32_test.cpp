// The Win32 face under test, under Wine: its driver for the shared cases, and its own case. The
// user's own journeys through it (clicks, keys, the real shell) are in tests/journeys.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "base/utf8.hpp"
#include "base/wide_text_win32.hpp"
#include "tests/window/face_driver.hpp"
#include "win32/form.hpp"

namespace qmz {
namespace {

// Fault injection: the program's next allocation fails, as when memory runs out.
bool failNextAllocation = false;

HWND Control(const Win32Form& form, std::string_view name) {
    const auto& controls = MainForm().controls;
    return GetDlgItem(form.Window(), ControlId(static_cast<std::size_t>(std::ranges::find(controls, name, &ControlDescription::name) - controls.begin())));
}

// The text of every message box of the program's that a timer answered.
std::vector<std::string> shown;

// A timer's procedure: answers the program's message box over window (none, for a thread's timer:
// a box of its own), if one is shown, and keeps its text. A message box runs a message loop of its
// own, which calls the procedure too.
void CALLBACK AnswerMessageBox(HWND window, UINT, UINT_PTR, DWORD) {
    const HWND box = FindWindowW(L"#32770", L"QMZ");
    if (box == nullptr || GetWindow(box, GW_OWNER) != window) {
        return;
    }
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);  // the message's own static control
    shown.push_back(ToUtf8(AsText(text)).value());
    SendMessageW(box, WM_COMMAND, IDOK, 0);
}

class Win32Face final : public testing_support::FaceDriver {
public:
    explicit Win32Face(LinkOpener opener) : form_(MainForm(), std::move(opener)) {
        form_.Show(SW_SHOWNORMAL);
        shown.clear();
        SetTimer(form_.Window(), 1, 10, AnswerMessageBox);
        Pump();
    }
    Win32Form& Form() override { return form_; }
    void Click(std::string_view control) override {
        SendMessageW(Control(form_, control), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(Control(form_, control), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        Pump();
    }
    std::vector<std::string> Messages() const override { return shown; }
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
    double Dpi() const override { return density_ != 0 ? density_ : GetDpiForWindow(form_.Window()); }
    double Rounding() const override { return 1; }  // whole pixels, a width between two rounded edges
    bool MoveToDensity(int dpi) override {
        RECT frame{};  // as Windows tells a window that moved to a screen of another density
        GetWindowRect(form_.Window(), &frame);
        SendMessageW(form_.Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
        return (density_ = dpi) != 0;
    }
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

    Win32Form form_;
    int density_ = 0;  // the density the window was last told of; 0: the system's
};

// Memory that runs out while the window is made (as it annotates its controls) ends the start with
// a box that says why and stays until the user answers it; while the window lays itself out for a
// new screen density, it is reported over the window, and nothing crosses the system's code.
TEST(FaceWin32, MemoryThatRunsOutIsSaidAndNeverCrossesTheSystemsCode) {
    struct OutOfMemory final : AccessibleAnnotation {
        void SetText(HWND, AccessibleText, const std::wstring&) override { throw std::bad_alloc(); }
        void SetLinkRole(HWND) override {}
        void Clear(HWND) override {}
    };
    for (MSG left{}; PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE);) {
    }  // such as the quit message of a window that an earlier case closed
    shown.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerMessageBox);
    EXPECT_EQ(RunMainWindow(MainForm(), {}, SW_SHOWNORMAL, std::make_unique<OutOfMemory>()), 1);
    KillTimer(nullptr, timer);
    EXPECT_EQ(shown, std::vector<std::string>{"QMZ cannot start: no memory is left."});
    Win32Face face({});
    failNextAllocation = true;
    face.MoveToDensity(144);
    EXPECT_EQ(face.Messages(), std::vector<std::string>{"The window cannot be laid out for the new screen density: no memory is left."});
}

}  // namespace

std::unique_ptr<testing_support::FaceDriver> testing_support::StartFace(LinkOpener opener) {
    return std::make_unique<Win32Face>(std::move(opener));
}

}  // namespace qmz

// The C++ library's operator delete frees with free(), which matches.
void* operator new(std::size_t size) {
    void* memory = std::exchange(qmz::failNextAllocation, false) ? nullptr : std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}
