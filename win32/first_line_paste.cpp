#include "win32/first_line_paste.hpp"

#include <commctrl.h>

#include <cwchar>
#include <optional>
#include <string>

#include "base/runtime_failure.hpp"
#include "base/wide_text_win32.hpp"
#include "window/first_line.hpp"

namespace qmz {
namespace {

constexpr UINT_PTR SubclassId = 1;

// Another program (a clipboard manager, a remote desktop's clipboard, Wine's own clipboard as it
// takes a text from X) may hold the clipboard open for a moment: a paste waits for it a little
// rather than doing nothing.
bool OpenClipboardWhenFree(HWND owner) {
    constexpr int Tries = 100;  // two seconds at most
    for (int tried = 1; !OpenClipboard(owner); ++tried) {
        if (tried == Tries) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

// The first line of the clipboard's text; none when the clipboard holds no text, stays taken, or
// no memory is left to copy it. A text without a NUL in its memory block ends with the block.
std::optional<std::wstring> ClipboardFirstLine(HWND owner) {
    if (!OpenClipboardWhenFree(owner)) {
        return std::nullopt;
    }
    std::optional<std::wstring> line;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            const std::wstring_view whole(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
            try {
                line.emplace(whole.substr(0, FirstLineLength(AsText(whole))));
            } catch (...) {
                // No memory for the copy: the paste does nothing, as with an empty clipboard.
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return line;
}

LRESULT CALLBACK FirstLinePasteProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR /*data*/) {
    switch (message) {
        case WM_PASTE:
            // In place of the selection, as the system's paste: an empty first line removes it.
            if (const auto line = ClipboardFirstLine(box)) {
                SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line->c_str()));
            }
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(box, &FirstLinePasteProcedure, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

void PasteFirstLineOnly(HWND box) {
    if (!SetWindowSubclass(box, &FirstLinePasteProcedure, SubclassId, 0)) {
        throw RuntimeFailure("The text box cannot be set up for pasting.");
    }
}

}  // namespace qmz
