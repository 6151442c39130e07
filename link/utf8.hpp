#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/text.hpp"

namespace qmz {

// UTF-16 text as UTF-8. A lone surrogate, which has no UTF-8 form, becomes U+FFFD.
std::string ToUtf8(TextView text);

// UTF-8 bytes as UTF-16 text, or nothing when the bytes are not valid UTF-8 (overlong forms,
// surrogates and values past U+10FFFF included).
std::optional<Text> FromUtf8(std::string_view bytes);

// The same two conversions without allocating, for callers that convert many short texts.
// AppendUtf8 grows out only when its capacity runs short. FromUtf8 writes into out and gives the
// number of code units, or nothing when the bytes are not valid UTF-8 or need more room than out has.
void AppendUtf8(std::string& out, TextView text);
std::optional<std::size_t> FromUtf8(std::string_view bytes, std::span<char16_t> out);

}  // namespace qmz
