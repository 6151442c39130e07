#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"

// Built with the hosts "v.test" and "cdn-07.videos.media-host.test": a page link is 27 or 31
// characters here, not 30 or 34, and a media link 54, not 40.
namespace qmz {
namespace {

TEST(DeriveMediaLinkWithOtherHosts, AcceptsOnlyPageLinksOfTheseHosts) {
    const std::pair<Text, std::optional<Text>> cases[] = {
        {u"http://v.test/play:ab12CD34", u"http://cdn-07.videos.media-host.test/s/ab/ab12CD34.flv"},
        {u"http://www.v.test/play:Zz9_-.~!", u"http://cdn-07.videos.media-host.test/s/Zz/Zz9_-.~!.flv"},
        {u"http://v.test/play:ab12CD3", std::nullopt},
        {u"http://v.test/play:ab12CD345", std::nullopt},
        {u"http://www.v.test/play:ab12", std::nullopt},
        {u"http://v.test/play:ab12CD34ef56", std::nullopt},
        {u"http://site.test/play:ab12CD34", std::nullopt},
        {u"http://www.site.test/play:ab12CD34", std::nullopt},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(DeriveMediaLink(input), expected) << std::string(input.begin(), input.end());
    }
}

}  // namespace
}  // namespace qmz
