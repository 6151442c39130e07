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
    static constexpr View PageLinkPrefix = qmz::PageLinkPrefix;
    static constexpr View PageLinkPrefixWww = qmz::PageLinkPrefixWww;
    static constexpr View MediaLinkPrefix = qmz::MediaLinkPrefix;
    static constexpr View BucketSeparator = qmz::BucketSeparator;
    static constexpr View MediaFileSuffix = qmz::MediaFileSuffix;
    static std::size_t Units(View text) { return text.size(); }
    static std::size_t LengthOfUnits(View text, std::size_t units) { return std::min(units, text.size()); }
};
struct Utf8Text {
    using View = std::string_view;
    static constexpr std::size_t MostPerUnit = 3;
    static constexpr View PageLinkPrefix = Utf8Of<qmz::PageLinkPrefix>;
    static constexpr View PageLinkPrefixWww = Utf8Of<qmz::PageLinkPrefixWww>;
    static constexpr View MediaLinkPrefix = Utf8Of<qmz::MediaLinkPrefix>;
    static constexpr View BucketSeparator = Utf8Of<qmz::BucketSeparator>;
    static constexpr View MediaFileSuffix = Utf8Of<qmz::MediaFileSuffix>;
    static std::size_t Units(View text) { return Utf16Length(text); }
    static std::size_t LengthOfUnits(View text, std::size_t units) { return Utf8LengthOfUnits(text, units); }
};

// A page link is one of the two prefixes followed by exactly one video ID: where that ID starts in
// text, or NoLength. The lengths are checked first, so a text that cannot be a page link costs the
// same however long it is.
template <typename Encoding>
std::size_t VideoIdStart(typename Encoding::View text) {
    for (const typename Encoding::View prefix : {Encoding::PageLinkPrefix, Encoding::PageLinkPrefixWww}) {
        const std::size_t shortest = prefix.size() + VideoIdLength;
        const std::size_t longest = prefix.size() + VideoIdLength * Encoding::MostPerUnit;
        if (text.size() >= shortest && text.size() <= longest && text.starts_with(prefix) &&
            Encoding::Units(text.substr(prefix.size())) == VideoIdLength) {
            return prefix.size();
        }
    }
    return NoLength;
}

// The media link of a page link, written at out, which has room for it: the bucket is the video
// ID's first bucketLength code units, which hold its first BucketLength UTF-16 code units. Gives
// the number of code units written.
template <typename Encoding, typename Unit>
std::size_t WriteMediaLink(typename Encoding::View videoId, std::size_t bucketLength, Unit* const out) {
    Unit* at = std::ranges::copy(Encoding::MediaLinkPrefix, out).out;
    at = std::ranges::copy(videoId.substr(0, bucketLength), at).out;
    at = std::ranges::copy(Encoding::BucketSeparator, at).out;
    at = std::ranges::copy(videoId, at).out;
    at = std::ranges::copy(Encoding::MediaFileSuffix, at).out;
    return static_cast<std::size_t>(at - out);
}

}  // namespace

// Both derivations are the same three steps on plain numbers: where the video ID starts, where its
// bucket ends, the media link written out. (GCC 12 builds a std::optional of views through stores
// and wider loads of the same place, which stall the processor: it doubled the UTF-8 derivation.)
std::optional<Text> DeriveMediaLink(TextView text) {
    const std::size_t start = VideoIdStart<Utf16Text>(text);
    if (start == NoLength) {
        return std::nullopt;
    }
    const TextView videoId = text.substr(start);
    Text mediaLink(MediaLinkLength, u'\0');
    WriteMediaLink<Utf16Text>(videoId, Utf16Text::LengthOfUnits(videoId, BucketLength), mediaLink.data());
    return mediaLink;
}

Utf8MediaLink DeriveMediaLinkFromUtf8(std::string_view text, std::span<char, LongestUtf8MediaLink> out) {
    const std::size_t start = VideoIdStart<Utf8Text>(text);
    if (start == NoLength) {
        return {Utf8Derivation::NoPageLink};
    }
    const std::string_view videoId = text.substr(start);
    const std::size_t bucketLength = Utf8Text::LengthOfUnits(videoId, BucketLength);
    if (bucketLength == NoLength) {
        return {Utf8Derivation::SplitCharacter};
    }
    return {Utf8Derivation::MediaLink, WriteMediaLink<Utf8Text>(videoId, bucketLength, out.data())};
}

}  // namespace qmz
