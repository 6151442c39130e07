#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "link/utf8.hpp"

namespace qmz {
namespace {

TEST(Utf8, RoundTripsEveryKindOfCharacter) {
    const Text texts[] = {
        u"",
        u"http://site.test/play:ab12CD34",
        Text(u"a\0b", 3),
        u"\u007F\u0080\u07FF\u0800\uFFFF",
        u"\U00010000\U0001F600\U0010FFFF",
        u"\u200F\u202E\u00e9\u4e2d",
    };
    for (const Text& text : texts) {
        EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    }
    EXPECT_EQ(ToUtf8(u"\u00e9\U0001F600"), "\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(Utf8, LoneSurrogatesBecomeTheReplacementCharacter) {
    EXPECT_EQ(ToUtf8(u"a\xD800" u"b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(ToUtf8(u"\xDC00\xD800"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(ToUtf8(u"x\xD83D"), "x\xEF\xBF\xBD");
}

TEST(Utf8, RefusesWhatIsNotUtf8) {
    const std::string invalid[] = {
        "\x80",                  // continuation without a lead
        "\xC3",                  // cut short
        "\xE4\xB8",              // cut short
        "\xC0\xAF",              // overlong "/"
        "\xE0\x80\xAF",          // overlong "/"
        "\xED\xA0\x80",          // a surrogate
        "\xF4\x90\x80\x80",      // past U+10FFFF
        "\xFF",                  // never a lead
        "ok\xC3(",               // bad continuation
    };
    for (const std::string& bytes : invalid) {
        EXPECT_EQ(FromUtf8(bytes), std::nullopt) << testing::PrintToString(bytes);
    }
}

TEST(Utf8, AppendsAfterWhatIsThereInBothPaths) {
    std::string out = "x";
    AppendUtf8(out, u"ab");
    AppendUtf8(out, u"\u00e9\U0001F600\xD800");
    AppendUtf8(out, u"");
    EXPECT_EQ(out, "xab\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(Utf8, DecodesIntoABufferOnlyWhenItFits) {
    std::array<char16_t, 4> units{};
    EXPECT_EQ(FromUtf8("ab\xC3\xA9", units), 3U);
    EXPECT_EQ(Text(units.data(), 3), u"ab\u00e9");
    EXPECT_EQ(FromUtf8("abcd", units), 4U);
    EXPECT_EQ(FromUtf8("abcde", units), std::nullopt);
    // A character above U+FFFF takes two code units and must fit whole.
    EXPECT_EQ(FromUtf8("abc\xF0\x9F\x98\x80", units), std::nullopt);
    EXPECT_EQ(FromUtf8("ab\xF0\x9F\x98\x80", units), 4U);
    EXPECT_EQ(FromUtf8("a\xFF", units), std::nullopt);
    EXPECT_EQ(FromUtf8("", std::span<char16_t>()), 0U);
}

}  // namespace
}  // namespace qmz
