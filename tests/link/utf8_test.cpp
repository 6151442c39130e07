#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "link/utf8.hpp"

namespace qmz {
namespace {

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
