#pragma once

#include <cstddef>
#include <string_view>

#include "link/site_hosts.hpp"

namespace qmz {

// Every length the derivation uses comes from these constants, so another pair of hosts needs
// nothing but a rebuild.
inline constexpr std::u16string_view PageLinkPrefix = u"http://" QMZ_SITE_HOST u"/play:";
inline constexpr std::u16string_view PageLinkPrefixWww = u"http://www." QMZ_SITE_HOST u"/play:";
inline constexpr std::u16string_view MediaLinkPrefix = u"http://" QMZ_MEDIA_HOST u"/s/";
inline constexpr std::u16string_view SiteHomeLink = u"http://www." QMZ_SITE_HOST;

inline constexpr std::size_t VideoIdLength = 8;
inline constexpr std::size_t BucketLength = 2;
inline constexpr std::u16string_view BucketSeparator = u"/";
inline constexpr std::u16string_view MediaFileSuffix = u".flv";

inline constexpr std::size_t MediaLinkLength =
    MediaLinkPrefix.size() + BucketLength + BucketSeparator.size() + VideoIdLength + MediaFileSuffix.size();

}  // namespace qmz
