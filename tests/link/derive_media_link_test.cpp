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

}  // namespace
}  // namespace qmz
