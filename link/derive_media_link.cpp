#include "link/derive_media_link.hpp"

#include "link/link_constants.hpp"

namespace qmz {
namespace {

// A page link is the prefix followed by exactly one video ID. The length is checked first, so a
// text that cannot be a page link costs the same however long it is.
bool IsPageLinkWithPrefix(TextView text, TextView prefix) {
    return text.size() == prefix.size() + VideoIdLength && text.starts_with(prefix);
}

}  // namespace

std::optional<Text> DeriveMediaLink(TextView text) {
    if (!IsPageLinkWithPrefix(text, PageLinkPrefix) && !IsPageLinkWithPrefix(text, PageLinkPrefixWww)) {
        return std::nullopt;
    }
    const TextView videoId = text.substr(text.size() - VideoIdLength);
    const TextView bucket = videoId.substr(0, BucketLength);

    Text mediaLink;
    mediaLink.reserve(MediaLinkLength);
    mediaLink.append(MediaLinkPrefix).append(bucket).append(BucketSeparator).append(videoId).append(MediaFileSuffix);
    return mediaLink;
}

}  // namespace qmz
