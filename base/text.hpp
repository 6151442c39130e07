#pragma once

#include <string>
#include <string_view>

namespace qmz {

// Text as the window's text box holds it: one character is one UTF-16 code unit. Lengths and
// positions count these units, on every platform.
using Text = std::u16string;
using TextView = std::u16string_view;

}  // namespace qmz
