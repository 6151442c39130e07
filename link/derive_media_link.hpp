#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qmz {

// Text as the window's text box holds it: one character is one UTF-16 code unit.
using Text = std::u16string;
using TextView = std::u16string_view;

// Turns a video's page link into the direct link of its video file on the media host, or gives
// no link (std::nullopt) for any other text. Exact and case-sensitive: nothing is trimmed or
// normalised, and the video ID is copied as it stands. Allocates only when it gives a link.
std::optional<Text> DeriveMediaLink(TextView text);

}  // namespace qmz
