#pragma once

#include <cstddef>
#include <string_view>

#include "link/link_options.hpp"

namespace qmz {

// Every length the derivation uses comes from these constants, so other hosts or another media
// scheme need nothing but a rebuild. All of them are ASCII: the configure step lets no other
// character into a host or the scheme.
inline constexpr std::u16string_view PageLinkPrefix = u"http://" QMZ_SITE_HOST u"/play:";
inline constexpr std::u16string_view PageLinkPrefixWww = u"http://www." QMZ_SITE_HOST u"/play:";
inline constexpr std::u16string_view MediaLinkPrefix = QMZ_MEDIA_SCHEME u"://" QMZ_MEDIA_HOST u"/s/";
inline constexpr std::u16string_view SiteHomeLink = u"http://www." QMZ_SITE_HOST;

inline constexpr std::size_t VideoIdLength = 8;
inline constexpr std::size_t BucketLength = 2;
inline constexpr std::u16string_view BucketSeparator = u"/";
inline constexpr std::u16string_view MediaFileSuffix = u".flv";

inline constexpr std::size_t MediaLinkLength =
    MediaLinkPrefix.size() + BucketLength + BucketSeparator.size() + VideoIdLength + MediaFileSuffix.size();
// No UTF-16 code unit takes more than three bytes in UTF-8 (a surrogate pair takes four for its two).
inline constexpr std::size_t LongestUtf8MediaLink = 3 * MediaLinkLength;

}  // namespace qmz
