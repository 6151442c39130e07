#pragma once

#include <QFont>

#include "window/form_description.hpp"

namespace qmz {

// The Qt font for a described font. When the machine lacks the family, the heaviest sans-serif
// the font system offers stands in, so that a banner set in a black face still reads as one.
QFont ToQFont(const FontDescription& description);

}  // namespace qmz
