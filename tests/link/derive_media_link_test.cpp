#include <gtest/gtest.h>

#include <array>
#include <string>

#include "base/utf8.hpp"
#include "link/derive_media_link.hpp"
#include "tests/support/link_table.hpp"

namespace qmz {
namespace {

// The table the windows and qmz-link are held to as well, through the window's UTF-16 text and
// through qmz-link's UTF-8 bytes. A media link that holds half a character has no UTF-8 form, and
// qmz-link refuses it.
TEST(DeriveMediaLinkWithOtherHostsAndHttps, GivesTheSharedTablesLinkForEveryTextInBothEncodings) {
    for (const auto& [input, mediaLink] : testing_support::ReadLinkTable()) {
        SCOPED_TRACE(testing::PrintToString(input));
        EXPECT_EQ(DeriveMediaLink(input), mediaLink);
        std::array<char, LongestUtf8MediaLink> out{};
        const Utf8MediaLink answer = DeriveMediaLinkFromUtf8(ToUtf8(input).value(), out);
        const std::optional<std::string> expected = mediaLink ? ToUtf8(*mediaLink) : std::nullopt;
        using enum Utf8Derivation;
        EXPECT_EQ(answer.outcome, !mediaLink ? NoPageLink : expected ? MediaLink : SplitCharacter);
        EXPECT_EQ(std::string_view(out.data(), answer.bytes), expected.value_or(""));
    }
}

}  // namespace
}  // namespace qmz
