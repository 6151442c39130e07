#pragma once

#include <string>
#include <string_view>

namespace qmz {

// UTF-8 (the description's captions, failure messages) as wide text; invalid bytes become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);

}  // namespace qmz
