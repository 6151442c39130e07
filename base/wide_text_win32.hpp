#pragma once

#include <string>
#include <string_view>

#include "base/text.hpp"

namespace qmz {

// wchar_t and char16_t are both UTF-16 code units on Windows: the texts convert unit for unit,
// and a view of one is a view of the other.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring_view AsWide(TextView text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

inline TextView AsText(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

inline Text FromWide(std::wstring_view text) {
    return Text(text.begin(), text.end());
}

}  // namespace qmz
