#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"

namespace qmz {
namespace {

struct DeriveCase {
    const char* name;
    Text input;
    std::optional<Text> expected;
};

void PrintTo(const DeriveCase& c, std::ostream* os) {
    *os << c.name;
}

const Text Page = Text(PageLinkPrefix);
const Text PageWww = Text(PageLinkPrefixWww);
const Text Media = Text(MediaLinkPrefix);
// The site host, as it stands between "http://" and "/play:".
const Text Host = Page.substr(7, Page.size() - 7 - 6);

Text Upper(Text text) {
    for (char16_t& c : text) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
    }
    return text;
}

class DeriveMediaLinkTest : public testing::TestWithParam<DeriveCase> {};

TEST_P(DeriveMediaLinkTest, GivesTheMediaLinkOfAPageLinkAndNothingForOtherText) {
    const DeriveCase& c = GetParam();
    EXPECT_EQ(DeriveMediaLink(c.input), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeriveMediaLinkTest,
    testing::Values(
        DeriveCase{"page_link", Page + u"ab12CD34", Media + u"ab/ab12CD34.flv"},
        DeriveCase{"www_page_link", PageWww + u"ab12CD34", Media + u"ab/ab12CD34.flv"},
        DeriveCase{"empty", u"", std::nullopt},
        DeriveCase{"prefix_alone", Page, std::nullopt},
        DeriveCase{"id_of_7", Page + u"ab12CD3", std::nullopt},
        DeriveCase{"id_of_9", Page + u"ab12CD345", std::nullopt},
        DeriveCase{"www_id_of_7", PageWww + u"ab12CD3", std::nullopt},
        DeriveCase{"www_id_of_9", PageWww + u"ab12CD345", std::nullopt},
        // As long as a bare page link, but its first characters are not the bare prefix.
        DeriveCase{"www_id_of_4", PageWww + u"ab12", std::nullopt},
        // As long as a www page link, but not beginning with the www prefix.
        DeriveCase{"bare_id_of_12", Page + u"ab12CD34ef56", std::nullopt},
        DeriveCase{"https", u"https://" + Page.substr(7) + u"ab12CD34", std::nullopt},
        DeriveCase{"scheme_in_capitals", u"HTTP://" + Page.substr(7) + u"ab12CD34", std::nullopt},
        DeriveCase{"host_in_capitals", u"http://" + Upper(Host) + u"/play:ab12CD34", std::nullopt},
        DeriveCase{"path_in_capitals", u"http://" + Host + u"/PLAY:ab12CD34", std::nullopt},
        DeriveCase{"www_in_capitals", u"http://WWW." + Host + u"/play:ab12CD34", std::nullopt},
        DeriveCase{"other_host", u"http://www.other.test/play:ab12CD34", std::nullopt},
        DeriveCase{"space_before_short_link", u" " + Page + u"ab12CD3", std::nullopt},
        DeriveCase{"space_ends_id", Page + u"ab12CD3 ", Media + u"ab/ab12CD3 .flv"},
        DeriveCase{"space_before_full_link", u" " + Page + u"ab12CD34", std::nullopt},
        DeriveCase{"space_after_full_link", Page + u"ab12CD34 ", std::nullopt},
        DeriveCase{"slash_ends_id", Page + u"ab12CD3/", Media + u"ab/ab12CD3/.flv"},
        DeriveCase{"media_link_as_input", Media + u"ab/ab12CD34.flv", std::nullopt},
        // The video ID is taken as it stands, into the bucket too.
        DeriveCase{"slash_and_space_in_id", Page + u"/ x?#&%2", Media + u"/ // x?#&%2.flv"},
        DeriveCase{"non_ascii_id", PageWww + u"\u00e9\u4e2d\U0001F600\u200F\uFFFF!?",
                   Media + u"\u00e9\u4e2d/\u00e9\u4e2d\U0001F600\u200F\uFFFF!?.flv"},
        DeriveCase{"nul_in_id", Page + Text(u"ab\0\0CD34", 8), Media + u"ab/" + Text(u"ab\0\0CD34", 8) + u".flv"},
        // A surrogate pair counts as two characters: the bucket may split it.
        DeriveCase{"bucket_splits_surrogate_pair", Page + u"a\U0001F600bcdef", Media + u"a\xD83D/a\U0001F600bcdef.flv"},
        DeriveCase{"prefix_differs_in_last_character", Page.substr(0, Page.size() - 1) + u";ab12CD34", std::nullopt}),
    [](const testing::TestParamInfo<DeriveCase>& info) { return std::string(info.param.name); });

TEST(DeriveMediaLinkLengths, FollowTheConfiguredHosts) {
    // With the default hosts these are the familiar 22, 26, 30, 34 and 40.
    const auto link = DeriveMediaLink(Page + u"ab12CD34");
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->size(), MediaLinkLength);
    EXPECT_EQ(MediaLinkLength, MediaLinkPrefix.size() + 15);
    EXPECT_EQ(SiteHomeLink, u"http://www." + Host);
}

}  // namespace
}  // namespace qmz
