#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "link/utf8.hpp"

namespace qmz {
namespace {

TEST(Utf8, RoundTripsEveryKindOfCharacterAndReplacesLoneSurrogates) {
    for (const Text& text : {Text(u"a\0b", 3), Text(u"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF\u202E")}) {
        EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    }
    EXPECT_EQ(ToUtf8(u"\u00e9\U0001F600"), "\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(ToUtf8(u"a\xD800" u"b\xDC00\xD800"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, RefusesWhatIsNotUtf8) {
    const std::string invalid[] = {
        "\x80",              // continuation without a lead
        "\xE4\xB8",          // cut short
        "\xC0\xAF",          // overlong "/"
        "\xE0\x80\xAF",      // overlong "/"
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // past U+10FFFF
        "\xFF",              // never a lead
        "ok\xC3(",           // bad continuation
    };
    for (const std::string& bytes : invalid) {
        EXPECT_EQ(FromUtf8(bytes), std::nullopt) << testing::PrintToString(bytes);
    }
}

}  // namespace
}  // namespace qmz
