#include <gtest/gtest.h>

#include <string>

#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"
#include "link/utf8.hpp"
#include "tests/support/link_table.hpp"

namespace qmz {
namespace {

// The table the window and qmz-link are held to as well.
TEST(DeriveMediaLink, GivesTheSharedTablesLinkForEveryText) {
    for (const auto& linkCase : testing_support::ReadLinkTable()) {
        EXPECT_EQ(DeriveMediaLink(linkCase.input), linkCase.mediaLink) << ToUtf8(linkCase.input);
    }
}

}  // namespace
}  // namespace qmz
