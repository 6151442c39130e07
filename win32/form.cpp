#include "win32/form.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "base/runtime_failure.hpp"
#include "base/wide_text_win32.hpp"
#include "resources/resource_ids.h"
#include "shell/program_folder.hpp"
#include "win32/first_line_paste.hpp"
#include "win32/wide_text.hpp"
#include "window/first_line.hpp"

namespace qmz {
namespace {

constexpr wchar_t WindowClassName[] = L"QMZ.Form";
// A fixed, thin frame: no sizing border, no maximise box.
constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_CONTROLPARENT;

HINSTANCE ProgramInstance() {
    return GetModuleHandleW(nullptr);
}

HICON LoadProgramIcon(int widthMetric, int heightMetric) {
    // Shared: the system owns the icon, which lives as long as the process.
    return static_cast<HICON>(LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(QMZ_ICON_ID), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

void RegisterFormClass(WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(ProgramInstance(), WindowClassName, &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ProgramInstance();
    windowClass.hIcon = LoadProgramIcon(SM_CXICON, SM_CYICON);
    windowClass.hIconSm = LoadProgramIcon(SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = WindowClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        throw RuntimeFailure("The window class cannot be registered (error " + std::to_string(GetLastError()) + ").");
    }
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassFor(const ControlDescription& control) {
    switch (control.kind) {
        case ControlKind::TextBox:
            return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::PushButton:
            // Never BS_DEFPUSHBUTTON: Enter presses no button.
            return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::Label: {
            // Labels take no focus; only those with an action report clicks.
            DWORD style = SS_NOPREFIX | (control.alignment == TextAlignment::Right ? SS_RIGHT : SS_LEFT);
            if (control.onClick != ClickAction::None) {
                style |= SS_NOTIFY;
            }
            return {L"STATIC", style, 0};
        }
    }
    throw std::logic_error("unknown control kind");
}

}  // namespace

Win32Form::Win32Form(const FormDescription& description, LinkOpener openLink,
                     std::unique_ptr<AccessibleAnnotation> annotation)
    : description_(description), openLink_(std::move(openLink)), annotation_(std::move(annotation)) {
    RegisterFormClass(&Win32Form::WindowProcedure);
    window_ = CreateWindowExW(FormExStyle, WindowClassName, WideFromUtf8(description.title).c_str(), FormStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              ProgramInstance(), this);
    if (window_ == nullptr) {
        throw RuntimeFailure("The window cannot be made (error " + std::to_string(GetLastError()) + ").");
    }
    try {
        CreateControls();
        Layout(static_cast<int>(GetDpiForWindow(window_)));
    } catch (...) {
        DestroyWindow(window_);
        throw;
    }
    made_ = true;
}

Win32Form::~Win32Form() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void Win32Form::CreateControls() {
    // The dialog manager moves the focus in creation order, so controls are made in tab order.
    controls_.assign(description_.controls.size(), nullptr);
    bool first = true;
    for (const std::size_t index : TabOrder(description_)) {
        const ControlDescription& control = description_.controls[index];
        const ControlClass controlClass = ClassFor(control);
        const DWORD style = WS_CHILD | WS_VISIBLE | controlClass.style | (first ? WS_GROUP : 0);
        HWND created = CreateWindowExW(controlClass.exStyle, controlClass.name, WideFromUtf8(control.caption).c_str(),
                                       style, 0, 0, 0, 0, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(index))),
                                       ProgramInstance(), nullptr);
        if (created == nullptr) {
            throw RuntimeFailure("The control " + std::string(control.name) + " cannot be made (error " +
                                 std::to_string(GetLastError()) + ").");
        }
        if (control.kind == ControlKind::TextBox) {
            // 0 lifts the default limit: the box keeps whatever is pasted, however long.
            SendMessageW(created, EM_SETLIMITTEXT, 0, 0);
            PasteFirstLineOnly(created);
        }
        controls_[index] = created;
        first = false;
    }
    AnnotateControls(*annotation_, controls_, description_);
}

void Win32Form::Layout(int dotsPerInch) {
    const auto pixels = [dotsPerInch](int twips) { return TwipsToPixels(twips, dotsPerInch); };

    // Every font is made before any control changes: a layout that fails leaves the window as it was.
    FontHandle dialogFont = CreateDialogFont(dotsPerInch);
    std::vector<FontHandle> fonts(description_.controls.size());
    for (std::size_t i = 0; i < description_.controls.size(); ++i) {
        if (description_.controls[i].font) {
            fonts[i] = CreateDescribedFont(*description_.controls[i].font, dotsPerInch);
        }
    }
    for (std::size_t i = 0; i < description_.controls.size(); ++i) {
        const TwipRect& place = description_.controls[i].place;
        SetWindowPos(controls_[i], nullptr, pixels(place.left), pixels(place.top), pixels(place.width),
                     pixels(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(fonts[i] ? fonts[i].get() : dialogFont.get()), TRUE);
    }
    // The old fonts go only once no control uses them.
    dialogFont_ = std::move(dialogFont);
    describedFonts_ = std::move(fonts);

    RECT frame{0, 0, pixels(description_.clientWidth), pixels(description_.clientHeight)};
    if (!AdjustWindowRectExForDpi(&frame, FormStyle, FALSE, FormExStyle, static_cast<UINT>(dotsPerInch))) {
        throw RuntimeFailure("The window's frame size is unknown.");
    }
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(GetNextDlgTabItem(window_, nullptr, FALSE));
}

HWND Win32Form::PageLinkBox() const {
    const std::size_t index = PageLinkBoxIndex(description_);
    return index < controls_.size() ? controls_[index] : nullptr;
}

bool Win32Form::HandleDialogMessage(MSG& message) {
    return IsDialogMessageW(window_, &message) != FALSE;
}

const ControlDescription* Win32Form::DescriptionOf(HWND control) const {
    const auto found = std::ranges::find(controls_, control);
    if (found == controls_.end()) {
        return nullptr;
    }
    return &description_.controls[static_cast<std::size_t>(found - controls_.begin())];
}

void Win32Form::RunClick(int controlId) {
    const int index = controlId - ControlId(0);
    if (index < 0 || static_cast<std::size_t>(index) >= description_.controls.size()) {
        return;
    }
    const ControlDescription& control = description_.controls[static_cast<std::size_t>(index)];
    if (control.kind == ControlKind::TextBox) {
        return;  // its notifications (changes, focus) are no clicks
    }
    RunClickAction(control.onClick, *this, openLink_);
}

LRESULT CALLBACK Win32Form::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may cross the system's code that calls the procedure: a message whose handler
    // fails in a way it does not handle itself (no memory left) gets the system's own answer.
    try {
        return form->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT Win32Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case WM_CTLCOLORSTATIC:
            return OnStaticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ACTIVATE:
            return OnActivate(wParam);
        case WM_DPICHANGED:
            return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        case WM_DESTROY:
            return OnDestroy();
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

LRESULT Win32Form::OnCommand(WPARAM wParam, LPARAM lParam) {
    // BN_CLICKED and STN_CLICKED are both 0; Enter and Esc arrive as IDOK and IDCANCEL, which
    // belong to no control and so do nothing.
    if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        RunClick(LOWORD(wParam));
    }
    return 0;
}

LRESULT Win32Form::OnStaticColour(HDC context, HWND control) {
    const ControlDescription* described = DescriptionOf(control);
    if (described == nullptr) {
        return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context), reinterpret_cast<LPARAM>(control));
    }
    const auto& colour = described->textColour;
    SetTextColor(context, colour ? RGB(colour->red, colour->green, colour->blue) : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(context, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT Win32Form::OnActivate(WPARAM wParam) {
    // As a dialog does: the focus leaves with the window and comes back to the same control.
    if (LOWORD(wParam) == WA_INACTIVE) {
        focusBeforeDeactivation_ = GetFocus();
    } else if (!HIWORD(wParam)) {
        const bool stillOurs = IsWindow(focusBeforeDeactivation_) && IsChild(window_, focusBeforeDeactivation_);
        SetFocus(stillOurs ? focusBeforeDeactivation_ : GetNextDlgTabItem(window_, nullptr, FALSE));
    }
    return 0;
}

LRESULT Win32Form::OnDpiChanged(int dotsPerInch, const RECT& suggested) {
    try {
        Layout(dotsPerInch);
    } catch (const RuntimeFailure& failure) {
        ReportFailure(failure.what());
    } catch (...) {
        ReportFailure("The window cannot be laid out for the new screen density: no memory is left.");
    }
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT Win32Form::OnDestroy() {
    // Only a window that was made whole ends the message loop: one that fails while it is made is
    // destroyed before any loop runs, and a quit message would close the box that says why at once.
    if (made_) {
        PostQuitMessage(0);
    }
    // The controls still exist: their annotations go before they do.
    for (const HWND control : controls_) {
        annotation_->Clear(control);
    }
    return 0;
}

Text Win32Form::ReadPageLinkBox() {
    const HWND box = PageLinkBox();
    if (!IsWindow(box)) {
        throw RuntimeFailure("The text box is gone.");
    }
    SetLastError(ERROR_SUCCESS);
    const int length = GetWindowTextLengthW(box);
    if (length == 0 && GetLastError() != ERROR_SUCCESS) {
        throw RuntimeFailure("The text box's text cannot be read (error " + std::to_string(GetLastError()) + ").");
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SetLastError(ERROR_SUCCESS);
    const int copied = GetWindowTextW(box, text.data(), length + 1);
    if (copied == 0 && GetLastError() != ERROR_SUCCESS) {
        throw RuntimeFailure("The text box's text cannot be read (error " + std::to_string(GetLastError()) + ").");
    }
    text.resize(static_cast<std::size_t>(copied));
    return FromWide(text);
}

void Win32Form::WritePageLinkBox(TextView text) {
    const HWND box = PageLinkBox();
    // The box holds one line, whatever comes.
    if (!IsWindow(box) || !SetWindowTextW(box, std::wstring(AsWide(text.substr(0, FirstLineLength(text)))).c_str())) {
        throw RuntimeFailure("The text box's text cannot be written (error " + std::to_string(GetLastError()) + ").");
    }
}

WindowHandle Win32Form::ReadWindowHandle() {
    if (!IsWindow(window_)) {
        throw RuntimeFailure("The window is gone.");
    }
    return reinterpret_cast<WindowHandle>(window_);
}

NativePath Win32Form::ReadProgramFolder() {
    return ProgramFolder();
}

void Win32Form::ReportFailure(std::string_view message) noexcept {
    try {
        MessageBoxW(IsWindow(window_) ? window_ : nullptr, WideFromUtf8(message).c_str(),
                    WideFromUtf8(description_.title).c_str(), MB_OK | MB_ICONERROR);
    } catch (...) {
        // Not even the message could be made (no memory left): the window goes on as it stands.
    }
}

namespace {

int RunMessageLoop(Win32Form& form) {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return 1;
        }
        if (!form.HandleDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace

int RunMainWindow(const FormDescription& description, LinkOpener openLink, int showCommand,
                  std::unique_ptr<AccessibleAnnotation> annotation) noexcept {
    const wchar_t* reason = L"QMZ cannot start: no memory is left.";
    std::wstring message;
    try {
        Win32Form form(description, std::move(openLink), annotation ? std::move(annotation) : SystemAccessibleAnnotation());
        form.Show(showCommand);
        return RunMessageLoop(form);
    } catch (const std::bad_alloc&) {
        // The reason above holds, and showing it needs no memory.
    } catch (const std::exception& failure) {
        try {
            message = WideFromUtf8(failure.what());
            reason = message.c_str();
        } catch (const std::bad_alloc&) {
        }
    }
    MessageBoxW(nullptr, reason, L"QMZ", MB_OK | MB_ICONERROR);
    return 1;
}

}  // namespace qmz
