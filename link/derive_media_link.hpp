#pragma once

#include <optional>

#include "base/text.hpp"

namespace qmz {

// Turns a video's page link into the direct link of its video file on the media host, or gives
// no link (std::nullopt) for any other text. Exact and case-sensitive: nothing is trimmed or
// normalised, and the video ID is copied as it stands. Allocates only when it gives a link.
std::optional<Text> DeriveMediaLink(TextView text);

}  // namespace qmz
