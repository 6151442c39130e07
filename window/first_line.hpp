#pragma once

#include <algorithm>

#include "base/text.hpp"

namespace qmz {

// The length of text's first line: up to its first line break (LF, CR or the CR of a CRLF), or all
// of it when it has none. A one-line box takes a pasted or dropped text up to here, on both faces.
constexpr std::size_t FirstLineLength(TextView text) {
    return std::min(text.find_first_of(u"\r\n"), text.size());
}

}  // namespace qmz
