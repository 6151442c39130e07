#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "base/text.hpp"
#include "link/link_constants.hpp"

namespace qmz {

// Turns a video's page link into the direct link of its video file on the media host, or gives
// no link (std::nullopt) for any other text. Exact and case-sensitive: nothing is trimmed or
// normalised, and the video ID is copied as it stands. Allocates only when it gives a link.
std::optional<Text> DeriveMediaLink(TextView text);

enum class Utf8Derivation {
    MediaLink,
    NoPageLink,
    // A page link whose media link would end its bucket (the ID's first two UTF-16 code units)
    // between the two halves of a character outside the Basic Multilingual Plane: half a character
    // has no UTF-8 form.
    SplitCharacter,
};
struct Utf8MediaLink {
    Utf8Derivation outcome = Utf8Derivation::NoPageLink;
    std::size_t bytes = 0;  // of the media link written, for MediaLink
};

// DeriveMediaLink on UTF-8 bytes, as qmz-link reads them, by the same code: lengths count UTF-16
// code units, so both answer alike on every text. Bytes that are not valid UTF-8 are no page link.
// The media link goes into out, in UTF-8, and nothing is allocated.
Utf8MediaLink DeriveMediaLinkFromUtf8(std::string_view text, std::span<char, LongestUtf8MediaLink> out);

}  // namespace qmz
