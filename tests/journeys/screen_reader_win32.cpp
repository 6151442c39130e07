// What the journeys see of qmz.exe's window, run in its Wine prefix: each control's place on the
// screen, what MSAA gives of it, the box's text (WM_GETTEXT) and the clipboard's text, in UTF-8.
// Usage: qmz_screen_reader places | tree | box | clipboard
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <oleacc.h>

#include <cstdio>
#include <optional>
#include <string>

#include "base/wide_text_win32.hpp"
#include "link/utf8.hpp"
#include "win32/form.hpp"

namespace {

// Asked of the window across the process boundary: GetWindowText gives only a caption Windows keeps.
std::optional<std::wstring> BoxText(HWND box) {
    DWORD_PTR length = 0;
    std::wstring text;
    if (SendMessageTimeoutW(box, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        text.resize(length + 1);
        if (SendMessageTimeoutW(box, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                                5000, &length)) {
            return text.substr(0, length);
        }
    }
    return std::nullopt;
}

// None while another program holds the clipboard, as Wine's clipboard bridge does a moment after
// another X program takes the X clipboard.
std::optional<std::wstring> ClipboardText() {
    std::optional<std::wstring> text;
    if (OpenClipboard(nullptr)) {
        const HANDLE data = GetClipboardData(CF_UNICODETEXT);
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text.emplace(locked, wcsnlen(locked, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

// ROLE "NAME", then each other text MSAA gives of the window's client object.
std::wstring Spoken(HWND window) {
    // By __uuidof: through mingw-w64's oleacc import library, IID_IAccessible is the import thunk
    // of oleacc.dll's export, not the interface's GUID.
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible)))) {
        return L"no accessible object";
    }
    VARIANT self{}, role{};
    self.vt = VT_I4;  // CHILDID_SELF
    wchar_t said[64] = L"?";
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) {
        GetRoleTextW(static_cast<DWORD>(role.lVal), said, 64);
    }
    std::wstring line = said;
    using Getter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    for (const auto& [label, get] : {std::pair<const wchar_t*, Getter>{L"", &IAccessible::get_accName},
                                     {L"description ", &IAccessible::get_accDescription},
                                     {L"value ", &IAccessible::get_accValue},
                                     {L"action ", &IAccessible::get_accDefaultAction}}) {
        BSTR text = nullptr;
        if ((accessible->*get)(self, &text) == S_OK && text != nullptr) {
            line = line + L" " + label + L"\"" + text + L"\"";
            SysFreeString(text);
        } else if (*label == L'\0') {
            line += L" (no name)";
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
    std::optional<std::wstring> text = L"";
    if (command == "places") {
        RECT place{};
        GetClientRect(form, &place);
        MapWindowPoints(form, HWND_DESKTOP, reinterpret_cast<POINT*>(&place), 2);
        std::printf("%ld %ld %ld %ld QMZ\n", place.left, place.top, place.right - place.left, place.bottom - place.top);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            GetWindowRect(GetDlgItem(form, qmz::ControlId(i)), &place);
            // Named as screen readers name it where Windows keeps the window's annotations.
            const std::string_view name = controls[i].accessibleName.empty() ? controls[i].caption : controls[i].accessibleName;
            std::printf("%ld %ld %ld %ld %.*s\n", place.left, place.top, place.right - place.left,
                        place.bottom - place.top, static_cast<int>(name.size()), name.data());
        }
    } else if (command == "tree") {
        CoInitialize(nullptr);
        text = Spoken(form) + L"\n";
        for (std::size_t i = 0; i < controls.size(); ++i) {
            *text += L"  " + Spoken(GetDlgItem(form, qmz::ControlId(i))) + L"\n";
        }
    } else if (command == "box" || command == "clipboard") {
        text = command == "box" ? BoxText(GetDlgItem(form, qmz::ControlId(qmz::PageLinkBoxIndex(qmz::MainForm()))))
                                : ClipboardText();
    } else {
        std::fputs("usage: qmz_screen_reader places | tree | box | clipboard\n", stderr);
        return 2;
    }
    const std::string utf8 = qmz::ToUtf8(qmz::AsText(text.value_or(L"")));
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return text ? 0 : 1;
}
