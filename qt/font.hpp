#pragma once

#include <QFont>

#include "window/form_description.hpp"

namespace qmz {

// The Qt font for a described font, or its stand-in where the machine lacks the family.
QFont ToQFont(const FontDescription& description);

}  // namespace qmz
