#pragma once

#include <string>
#include <string_view>

#include "link/derive_media_link.hpp"

namespace qmz {

// wchar_t and char16_t are both UTF-16 code units on Windows: the texts convert unit for unit.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring ToWide(TextView text) {
    return std::wstring(text.begin(), text.end());
}

inline Text FromWide(std::wstring_view text) {
    return Text(text.begin(), text.end());
}

// UTF-8 (the description's captions, failure messages) as wide text; invalid bytes become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);

}  // namespace qmz
