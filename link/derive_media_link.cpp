#include "link/derive_media_link.hpp"

#include <algorithm>
#include <array>

#include "base/utf8.hpp"

namespace qmz {
namespace {

// A link constant in UTF-8: being ASCII, one byte for each UTF-16 code unit.
template <const std::u16string_view& Constant>
constexpr std::array<char, Constant.size()> Utf8Bytes = [] {
    std::array<char, Constant.size()> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (Constant[i] >= 0x80) {
            throw "a link constant holds a character that is not ASCII";  // stops the build
        }
        bytes[i] = static_cast<char>(Constant[i]);
    }
    return bytes;
}();
template <const std::u16string_view& Constant>
constexpr std::string_view Utf8Of(Utf8Bytes<Constant>.data(), Constant.size());

// How each encoding holds the link constants and measures a text. Both count UTF-16 code units,
// as the window's text box does.
struct Utf16Text {
    using View = TextView;
    static constexpr std::size_t MostPerUnit = 1;  // of this encoding's code units per UTF-16 one
    static constexpr View PageLinkPrefix = qmz::PageLinkPrefix, PageLinkPrefixWww = qmz::PageLinkPrefixWww,
                          MediaLinkPrefix = qmz::MediaLinkPrefix, BucketSeparator = qmz::BucketSeparator,
                          MediaFileSuffix = qmz::MediaFileSuffix;
    static std::size_t Units(View text) { return text.size(); }
    static std::size_t LengthOfUnits(View text, std::size_t units) { return std::min(units, text.size()); }
};
struct Utf8Text {
    using View = std::string_view;
    static constexpr std::size_t MostPerUnit = 3;
    static constexpr View PageLinkPrefix = Utf8Of<qmz::PageLinkPrefix>, PageLinkPrefixWww = Utf8Of<qmz::PageLinkPrefixWww>,
                          MediaLinkPrefix = Utf8Of<qmz::MediaLinkPrefix>, BucketSeparator = Utf8Of<qmz::BucketSeparator>,
                          MediaFileSuffix = Utf8Of<qmz::MediaFileSuffix>;
    static std::size_t Units(View text) { return Utf16Length(text); }
    static std::size_t LengthOfUnits(View text, std::size_t units) { return Utf8LengthOfUnits(text, units); }
};

// A page link is the prefix followed by exactly one video ID. The lengths are checked first, so a
// text that cannot be a page link costs the same however long it is.
template <typename Encoding>
std::optional<typename Encoding::View> VideoIdAfter(typename Encoding::View prefix, typename Encoding::View text) {
    if (text.size() < prefix.size() + VideoIdLength || text.size() > prefix.size() + VideoIdLength * Encoding::MostPerUnit ||
        !text.starts_with(prefix)) {
        return std::nullopt;
    }
    const typename Encoding::View videoId = text.substr(prefix.size());
    return Encoding::Units(videoId) == VideoIdLength ? std::optional(videoId) : std::nullopt;
}

template <typename Encoding>
struct PageLink {
    typename Encoding::View videoId;
    std::optional<typename Encoding::View> bucket;  // none when the encoding cannot cut it out
};

template <typename Encoding>
std::optional<PageLink<Encoding>> ReadPageLink(typename Encoding::View text) {
    auto videoId = VideoIdAfter<Encoding>(Encoding::PageLinkPrefix, text);
    if (!videoId) {
        videoId = VideoIdAfter<Encoding>(Encoding::PageLinkPrefixWww, text);
    }
    if (!videoId) {
        return std::nullopt;
    }
    const std::size_t bucketLength = Encoding::LengthOfUnits(*videoId, BucketLength);
    return PageLink<Encoding>{*videoId, bucketLength != NoLength ? std::optional(videoId->substr(0, bucketLength)) : std::nullopt};
}

// Writes the media link of a page link whose bucket is cut out at out, which has room for it, and
// gives the number of code units written.
template <typename Encoding, typename Unit>
std::size_t WriteMediaLink(const PageLink<Encoding>& link, Unit* const out) {
    Unit* at = std::ranges::copy(Encoding::MediaLinkPrefix, out).out;
    at = std::ranges::copy(*link.bucket, at).out;
    at = std::ranges::copy(Encoding::BucketSeparator, at).out;
    at = std::ranges::copy(link.videoId, at).out;
    at = std::ranges::copy(Encoding::MediaFileSuffix, at).out;
    return static_cast<std::size_t>(at - out);
}

}  // namespace

std::optional<Text> DeriveMediaLink(TextView text) {
    const std::optional<PageLink<Utf16Text>> link = ReadPageLink<Utf16Text>(text);
    if (!link) {
        return std::nullopt;
    }
    Text mediaLink(MediaLinkLength, u'\0');
    WriteMediaLink(*link, mediaLink.data());
    return mediaLink;
}

Utf8MediaLink DeriveMediaLinkFromUtf8(std::string_view text, std::span<char, LongestUtf8MediaLink> out) {
    const std::optional<PageLink<Utf8Text>> link = ReadPageLink<Utf8Text>(text);
    if (!link) {
        return {Utf8Derivation::NoPageLink};
    }
    if (!link->bucket) {
        return {Utf8Derivation::SplitCharacter};
    }
    return {Utf8Derivation::MediaLink, WriteMediaLink(*link, out.data())};
}

}  // namespace qmz
