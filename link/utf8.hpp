#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "link/derive_media_link.hpp"

namespace qmz {

// UTF-16 text as UTF-8. A lone surrogate, which has no UTF-8 form, becomes U+FFFD.
std::string ToUtf8(TextView text);

// UTF-8 bytes as UTF-16 text, or nothing when the bytes are not valid UTF-8 (overlong forms,
// surrogates and values past U+10FFFF included).
std::optional<Text> FromUtf8(std::string_view bytes);

}  // namespace qmz
