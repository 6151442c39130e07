#include <gtest/gtest.h>

#include <string>

#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"
#include "tests/support/link_table.hpp"

namespace qmz {
namespace {

const Text Page = Text(PageLinkPrefix);
const Text Media = Text(MediaLinkPrefix);

// The table the window and qmz-link are held to as well.
TEST(DeriveMediaLink, GivesTheSharedTablesLinkForEveryText) {
    for (const auto& linkCase : testing_support::ReadLinkTable()) {
        EXPECT_EQ(DeriveMediaLink(linkCase.input), linkCase.mediaLink) << "table line " << linkCase.lineNumber;
    }
}

// A NUL cannot stand in the table's lines; the video ID is taken as it stands all the same.
TEST(DeriveMediaLink, TakesANulInTheVideoIdAsItStands) {
    const Text id(u"ab\0\0CD34", 8);
    EXPECT_EQ(DeriveMediaLink(Page + id), Media + u"ab/" + id + u".flv");
}

TEST(DeriveMediaLinkLengths, FollowTheConfiguredHosts) {
    // With the default hosts these are the familiar 22, 26, 30, 34 and 40.
    const auto link = DeriveMediaLink(Page + u"ab12CD34");
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->size(), MediaLinkLength);
    EXPECT_EQ(MediaLinkLength, MediaLinkPrefix.size() + 15);
    EXPECT_EQ(Text(SiteHomeLink) + u"/play:", PageLinkPrefixWww);
}

}  // namespace
}  // namespace qmz
