// What the journeys see of qmz.exe's window, run in its Wine prefix: each control's place on the
// screen (and its name), the box's text as MSAA gives it, and the clipboard's text, in UTF-8. "hold" holds the
// clipboard for a second, as a clipboard manager may, once it has said "held".
// Usage: qmz_screen_reader places | box | clipboard | hold
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <oleacc.h>

#include <cstdio>
#include <optional>
#include <string>

#include "base/utf8.hpp"
#include "base/wide_text_win32.hpp"
#include "win32/form.hpp"

namespace {

// The box's text as MSAA gives it to a screen reader, its value.
std::optional<std::wstring> Value(HWND box) {
    // By __uuidof: through mingw-w64's oleacc import library, IID_IAccessible is the import thunk
    // of oleacc.dll's export, not the interface's GUID.
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(box, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&accessible)))) {
        return std::nullopt;
    }
    VARIANT self{};
    self.vt = VT_I4;  // CHILDID_SELF
    BSTR got = nullptr;
    const bool answered = accessible->get_accValue(self, &got) == S_OK && got != nullptr;
    const auto value = answered ? std::optional<std::wstring>(std::in_place, got, SysStringLen(got)) : std::nullopt;
    SysFreeString(got);
    accessible->Release();
    return value;
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

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    CoInitialize(nullptr);
    const std::string command = argc == 2 ? argv[1] : "";
    const HWND form = FindWindowW(L"QMZ.Form", L"QMZ");
    const auto& controls = qmz::MainForm().controls;
    std::optional<std::wstring> text = L"";
    if (command == "places") {
        RECT place{};
        for (std::size_t i = 0; i < controls.size(); ++i) {
            GetWindowRect(GetDlgItem(form, qmz::ControlId(i)), &place);
            // Named as screen readers name it where Windows keeps the window's annotations.
            const std::string_view name = controls[i].accessibleName.empty() ? controls[i].caption : controls[i].accessibleName;
            std::printf("%ld %ld %ld %ld %.*s\n", place.left, place.top, place.right - place.left,
                        place.bottom - place.top, static_cast<int>(name.size()), name.data());
        }

    } else if (command == "hold") {
        const bool held = OpenClipboard(nullptr) && std::puts("held") >= 0 && std::fflush(stdout) == 0;
        Sleep(1000);
        return held && CloseClipboard() ? 0 : 1;
    } else if (command == "box" || command == "clipboard") {
        text = command == "clipboard" ? ClipboardText() : Value(GetDlgItem(form, qmz::ControlId(qmz::PageLinkBoxIndex(qmz::MainForm()))));
    } else {
        std::fputs("usage: qmz_screen_reader places | box | clipboard | hold\n", stderr);
        return 2;
    }
    const std::string utf8 = qmz::ToUtf8(qmz::AsText(text.value_or(L""))).value_or("(a text that UTF-8 cannot carry)");
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return text ? 0 : 1;
}
