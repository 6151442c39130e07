#pragma once

#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

#include "win32/accessible_names.hpp"
#include "win32/font.hpp"
#include "window/actions.hpp"
#include "window/form_description.hpp"
#include "window/form_runtime.hpp"

namespace qmz {

// The dialog ID of the control at index in the form's description (GetDlgItem finds it by that).
// IDs below IDOK (1) and IDCANCEL (2) would be pressed by Enter and Esc in the dialog manager.
constexpr int ControlId(std::size_t index) {
    return 100 + static_cast<int>(index);
}

// The main window on Win32, built from its description, and the runtime services the actions use.
// Each control is a standard child window whose ID follows its place in the description. Closing
// the window ends the thread's message loop.
class Win32Form final : public FormRuntime {
public:
    // Creates the window, hidden, with every control, each annotated for screen readers through
    // annotation. Throws RuntimeFailure.
    Win32Form(const FormDescription& description, LinkOpener openLink,
              std::unique_ptr<AccessibleAnnotation> annotation = SystemAccessibleAnnotation());
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Shows the window with the keyboard focus on the first control in tab order.
    void Show(int showCommand);
    HWND Window() const { return window_; }
    // Lets the dialog manager take keyboard messages (Tab, arrows); true when it took the message.
    bool HandleDialogMessage(MSG& message);

    Text ReadPageLinkBox() override;
    void WritePageLinkBox(TextView text) override;
    WindowHandle ReadWindowHandle() override;
    NativePath ReadProgramFolder() override;
    void ReportFailure(std::string_view message) noexcept override;
    // None: ShellExecuteA's outcome is complete when it returns.
    FailureReport LateFailureReport() override { return {}; }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Hands each message to its handler, and the rest to the system.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnStaticColour(HDC context, HWND control);
    LRESULT OnActivate(WPARAM wParam);
    LRESULT OnDpiChanged(int dotsPerInch, const RECT& suggested);
    LRESULT OnDestroy();

    void CreateControls();
    // Places and sizes the window and its controls, and makes their fonts, for dotsPerInch.
    void Layout(int dotsPerInch);
    void RunClick(int controlId);
    const ControlDescription* DescriptionOf(HWND control) const;
    HWND PageLinkBox() const;

    const FormDescription& description_;
    LinkOpener openLink_;
    std::unique_ptr<AccessibleAnnotation> annotation_;
    HWND window_ = nullptr;
    std::vector<HWND> controls_;  // in the description's order
    FontHandle dialogFont_;
    std::vector<FontHandle> describedFonts_;  // in the description's order; empty for the dialog font
    HWND focusBeforeDeactivation_ = nullptr;
    bool made_ = false;  // set once the constructor has made the window whole
};

// The program's run: makes the window of description with openLink behind its clicks (annotated
// through annotation, or the system's Dynamic Annotation where none is given), shows it with
// showCommand and runs the thread's message loop, through the window's dialog manager, until the
// window is closed; gives the loop's exit status. When the window cannot be made, a message box
// says why until the user answers it, and the status is 1.
int RunMainWindow(const FormDescription& description, LinkOpener openLink, int showCommand,
                  std::unique_ptr<AccessibleAnnotation> annotation = nullptr) noexcept;

}  // namespace qmz
