#pragma once

#include <span>

// The program's icon as XPM data, 16 colours, transparent around the flag. qmz_icon_xpm, 32 by 32
// pixels, is the icon itself; the 16 and 24 pixel drawings stand in for it where scaling it would
// take fractions of a pixel.
#include "resources/qmz_icon.xpm"
#include "resources/qmz_icon_16.xpm"
#include "resources/qmz_icon_24.xpm"

namespace qmz {

struct IconDrawing {
    int size;
    std::span<const char* const> xpm;
};

// Smallest first.
inline constexpr IconDrawing IconDrawings[] = {{16, qmz_icon_16_xpm}, {24, qmz_icon_24_xpm}, {32, qmz_icon_xpm}};

}  // namespace qmz
