// What the journeys see of qmz.exe's window, run in its Wine prefix: each control's place on the
// screen, what MSAA gives of it, the box's text (WM_GETTEXT) and the clipboard's text, in UTF-8.
// Usage: qmz_screen_reader places | tree | box | clipboard
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <oleacc.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "base/wide_text_win32.hpp"
#include "link/utf8.hpp"
#include "win32/form.hpp"

namespace {

std::string Utf8(std::wstring_view text) {
    return qmz::ToUtf8(qmz::AsText(text));
}

// Asked of the window across the process boundary: GetWindowText gives only a caption Windows keeps.
int PrintBoxText(HWND box) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(box, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return 1;
    }
    std::wstring text(length + 1, L'\0');
    if (!SendMessageTimeoutW(box, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &length)) {
        return 1;
    }
    std::cout << Utf8(std::wstring_view(text).substr(0, length));
    return 0;
}

// Fails while another program, such as Wine's clipboard bridge taking an X program's text, holds it.
int PrintClipboardText() {
    if (!OpenClipboard(nullptr)) {
        return 1;
    }
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    if (text != nullptr) {
        std::cout << Utf8({text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t))});
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text != nullptr ? 0 : 1;
}

// "ROLE "NAME"", then the description, value and default action where MSAA gives them.
std::string Spoken(HWND window) {
    // By __uuidof: through mingw-w64's oleacc import library, IID_IAccessible is the import thunk
    // of oleacc.dll's export, not the interface's GUID.
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible)))) {
        return "no accessible object";
    }
    VARIANT self{}, role{};
    self.vt = VT_I4;
    wchar_t roleText[64] = L"?";
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) {
        GetRoleTextW(static_cast<DWORD>(role.lVal), roleText, 64);
    }
    std::string line = Utf8(roleText);
    using Getter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    for (const auto& [label, get] : {std::pair<const char*, Getter>{"", &IAccessible::get_accName},
                                     {"description ", &IAccessible::get_accDescription},
                                     {"value ", &IAccessible::get_accValue},
                                     {"action ", &IAccessible::get_accDefaultAction}}) {
        BSTR text = nullptr;
        if ((accessible->*get)(self, &text) == S_OK && text != nullptr) {
            line += std::string(" ") + label + "\"" + Utf8(text) + "\"";
            SysFreeString(text);
        } else if (!*label) {
            line += " (no name)";
        }
    }
    accessible->Release();
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string command = argc == 2 ? argv[1] : "";
    const HWND form = FindWindowW(L"QMZ.Form", L"QMZ");
    const auto& controls = qmz::MainForm().controls;
    const auto control = [form](std::size_t index) { return GetDlgItem(form, qmz::ControlId(index)); };
    if (command == "places") {
        RECT place{};
        GetClientRect(form, &place);
        MapWindowPoints(form, HWND_DESKTOP, reinterpret_cast<POINT*>(&place), 2);
        std::printf("%ld %ld %ld %ld QMZ\n", place.left, place.top, place.right - place.left, place.bottom - place.top);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            GetWindowRect(control(i), &place);
            // What a screen reader calls the control where Windows keeps its annotations.
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
    } else if (command == "box") {
        return PrintBoxText(control(qmz::PageLinkBoxIndex(qmz::MainForm())));
    } else if (command == "clipboard") {
        return PrintClipboardText();
    } else {
        std::cerr << "usage: qmz_screen_reader places | tree | box | clipboard\n";
        return 2;
    }
    return 0;
}
