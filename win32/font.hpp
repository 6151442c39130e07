#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

#include "window/form_description.hpp"

namespace qmz {

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// The LOGFONT height of a font of that size at dotsPerInch: negative, because a point size gives
// the character height, not the cell height. Rounded to the nearest pixel.
constexpr int FontHeightForDpi(int tenThousandthsOfPoint, int dotsPerInch) {
    constexpr int TenThousandthsPerInch = 72 * 10000;
    return -((tenThousandthsOfPoint * dotsPerInch + TenThousandthsPerInch / 2) / TenThousandthsPerInch);
}

// The font a control's description asks for, at dotsPerInch, or its stand-in where the system lacks
// the family (Wine has no Arial Black). Throws RuntimeFailure.
FontHandle CreateDescribedFont(const FontDescription& description, int dotsPerInch);

// The system's message-box font at dotsPerInch: the font dialogs use. Throws RuntimeFailure.
FontHandle CreateDialogFont(int dotsPerInch);

}  // namespace qmz
