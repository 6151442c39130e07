#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "link/derive_media_link.hpp"

// Built with the hosts "v.test" and "cdn-07.videos.media-host.test": a page link is 27 or 31
// characters here, not 30 or 34, and a media link 54, not 40.
namespace qmz {
namespace {

TEST(DeriveMediaLinkWithOtherHosts, AcceptsOnlyPageLinksOfTheseHosts) {
    EXPECT_EQ(DeriveMediaLink(u"http://v.test/play:ab12CD34"), u"http://cdn-07.videos.media-host.test/s/ab/ab12CD34.flv");
    EXPECT_EQ(DeriveMediaLink(u"http://www.v.test/play:Zz9_-.~!"), u"http://cdn-07.videos.media-host.test/s/Zz/Zz9_-.~!.flv");
    for (const Text input : {u"http://v.test/play:ab12CD3", u"http://v.test/play:ab12CD345", u"http://www.v.test/play:ab12",
                             u"http://site.test/play:ab12CD34", u"http://www.site.test/play:ab12CD34"}) {
        EXPECT_EQ(DeriveMediaLink(input), std::nullopt) << std::string(input.begin(), input.end());
    }
}

}  // namespace
}  // namespace qmz
