#pragma once

#include <windows.h>

namespace qmz {

// Makes a one-line EDIT box take pasted text only up to its first line break (FirstLineLength), as
// the Qt face does. The system's box does this only in part: Wine's cuts at the first LF (and the CR
// before it) but keeps a lone CR, invisible, in the text. The box gets a subclass that answers
// WM_PASTE itself (Ctrl+V, Shift+Insert and the context menu's Paste all send it) from the
// clipboard's text; undo works as for any paste. Throws RuntimeFailure.
void PasteFirstLineOnly(HWND box);

}  // namespace qmz
