// What the journeys see of qmz.exe's window under Wine, as a screen reader and the clipboard show
// it: each control's place on the screen, what MSAA says of it, the box's text (WM_GETTEXT) and the
// clipboard's text. It runs in qmz.exe's Wine prefix, beside the window.
// Usage: qmz_screen_reader places | tree | box | clipboard
// "box" and "clipboard" wait, 10 s at most, until their text is standard input's (UTF-8); if it
// never is, they print the text they hold and exit with status 1.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <oleacc.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include "base/wide_text_win32.hpp"
#include "link/utf8.hpp"
#include "win32/form.hpp"

namespace {

using namespace std::chrono_literals;

std::string Utf8(const std::wstring& text) {
    return qmz::ToUtf8(qmz::AsText(text));
}

// The control's text, asked of its window across the process boundary (GetWindowText would give
// only what Windows keeps of another program's window).
std::optional<std::wstring> WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return std::nullopt;
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &copied)) {
        return std::nullopt;
    }
    text.resize(copied);
    return text;
}

std::optional<std::wstring> ClipboardText() {
    // Wine's clipboard bridge holds the clipboard for a moment while it takes another X program's text.
    if (!OpenClipboard(nullptr)) {
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text.emplace(locked, wcsnlen(locked, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// What MSAA gives of the window's client object: "ROLE "NAME"", then its description, value and
// default action where it has them.
std::string Spoken(HWND window) {
    // By __uuidof: through mingw-w64's oleacc import library, IID_IAccessible is the import thunk of
    // oleacc.dll's export, not the interface's GUID.
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible)))) {
        return "no accessible object";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    wchar_t roleText[64] = L"?";
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) {
        GetRoleTextW(static_cast<DWORD>(role.lVal), roleText, static_cast<UINT>(std::size(roleText)));
    }
    std::string line = Utf8(roleText);
    using Getter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    for (const auto& [label, get] : {std::pair<const char*, Getter>{"", &IAccessible::get_accName},
                                     {" description ", &IAccessible::get_accDescription},
                                     {" value ", &IAccessible::get_accValue},
                                     {" action ", &IAccessible::get_accDefaultAction}}) {
        BSTR text = nullptr;
        if ((accessible->*get)(self, &text) == S_OK && text != nullptr) {
            line += std::string(*label ? label : " ") + "\"" + Utf8(text) + "\"";
            SysFreeString(text);
        } else if (!*label) {
            line += " (no name)";
        }
    }
    accessible->Release();
    return line;
}

// Waits until read() gives expected, or 10 s have passed.
int WaitFor(std::optional<std::wstring> (*read)(HWND), HWND window, const std::string& expected) {
    std::optional<std::wstring> text;
    for (const auto deadline = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(50ms)) {
        if ((text = read(window)) && Utf8(*text) == expected) {
            return 0;
        }
    }
    std::cout << (text ? Utf8(*text) : "(nothing)");
    return 1;
}

// A text as the Windows clipboard holds it once Wine has taken it from X: each lone LF as CRLF.
std::string WithWindowsLineEnds(const std::string& text) {
    std::string windows;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            windows += '\r';
        }
        windows += text[i];
    }
    return windows;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string command = argc == 2 ? argv[1] : "";
    const HWND form = FindWindowW(L"QMZ.Form", L"QMZ");
    if (form == nullptr && command != "clipboard") {
        std::cerr << "qmz_screen_reader: no QMZ window\n";
        return 2;
    }
    const auto& controls = qmz::MainForm().controls;
    const auto control = [form](std::size_t index) { return GetDlgItem(form, qmz::ControlId(index)); };
    if (command == "places") {
        RECT place{};
        GetClientRect(form, &place);
        MapWindowPoints(form, HWND_DESKTOP, reinterpret_cast<POINT*>(&place), 2);
        std::printf("%ld %ld %ld %ld QMZ\n", place.left, place.top, place.right - place.left, place.bottom - place.top);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            GetWindowRect(control(i), &place);
            const std::string_view name = controls[i].accessibleName.empty() ? controls[i].caption : controls[i].accessibleName;
            std::printf("%ld %ld %ld %ld %.*s\n", place.left, place.top, place.right - place.left,
                        place.bottom - place.top, static_cast<int>(name.size()), name.data());
        }
    } else if (command == "tree") {
        CoInitialize(nullptr);
        std::cout << Spoken(form) << "\n";
        for (std::size_t i = 0; i < controls.size(); ++i) {
            std::cout << "  " << Spoken(control(i)) << "\n";
        }
    } else if (command == "box" || command == "clipboard") {
        const std::string expected(std::istreambuf_iterator<char>(std::cin), {});
        if (command == "box") {
            return WaitFor(WindowText, control(qmz::PageLinkBoxIndex(qmz::MainForm())), expected);
        }
        return WaitFor([](HWND) { return ClipboardText(); }, nullptr, WithWindowsLineEnds(expected));
    } else {
        std::cerr << "usage: qmz_screen_reader places | tree | box | clipboard\n";
        return 2;
    }
    return 0;
}
