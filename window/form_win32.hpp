#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "window/actions.hpp"
#include "window/font_win32.hpp"
#include "window/form_description.hpp"
#include "window/form_runtime.hpp"

namespace qmz {

// The main window on Win32, built from its description, and the runtime services the actions use.
// Each control is a standard child window whose ID follows its place in the description.
class Win32Form final : public FormRuntime {
public:
    // Whether closing the window ends the thread's message loop (the program) or only the window.
    enum class OnClose { EndMessageLoop, DestroyWindowOnly };

    // Creates the window, hidden, with every control. Throws RuntimeFailure.
    Win32Form(const FormDescription& description, LinkOpener openLink, OnClose onClose = OnClose::EndMessageLoop);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Shows the window with the keyboard focus on the first control in tab order.
    void Show(int showCommand);
    HWND Window() const { return window_; }
    // The control of that name, or nullptr.
    HWND Control(std::string_view name) const;
    // Lets the dialog manager take keyboard messages (Tab, arrows); true when it took the message.
    bool HandleDialogMessage(MSG& message);

    Text ReadText1() override;
    void WriteText1(TextView text) override;
    WindowHandle ReadWindowHandle() override;
    std::filesystem::path ReadProgramFolder() override;
    void ReportFailure(const RuntimeFailure& failure) override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    // Places and sizes the window and its controls, and makes their fonts, for dotsPerInch.
    void Layout(int dotsPerInch);
    void RunClick(int controlId);
    const ControlDescription* DescriptionOf(HWND control) const;

    const FormDescription& description_;
    LinkOpener openLink_;
    OnClose onClose_;
    HWND window_ = nullptr;
    std::vector<HWND> controls_;  // in the description's order
    FontHandle dialogFont_;
    std::vector<FontHandle> describedFonts_;  // in the description's order; empty for the dialog font
    HWND focusBeforeDeactivation_ = nullptr;
};

// Runs the thread's message loop, through the form's dialog manager, until the window is closed.
int RunMessageLoop(Win32Form& form);

}  // namespace qmz
