#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "cli/media_link_of_line.hpp"
#include "link/link_constants.hpp"
#include "link/utf8.hpp"
#include "tests/support/link_table.hpp"

// Counts this program's allocations, to hold qmz-link to its promise that a line which is no page
// link costs no allocation. Replacing the global allocator is the only way to see that, and it is
// process-wide by nature; the test program runs one thread.
namespace {
std::size_t allocationCount = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++allocationCount;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace qmz::cli {
namespace {

using namespace std::string_literals;

const std::string Page = ToUtf8(PageLinkPrefix);
const std::string PageWww = ToUtf8(PageLinkPrefixWww);
const std::string Media = ToUtf8(MediaLinkPrefix);

std::optional<std::string> MediaLinkOf(const std::string& line) {
    std::string out = "kept|";
    if (!AppendMediaLinkOfLine(line, out)) {
        EXPECT_EQ(out, "kept|") << "a refused line must leave the output alone";
        return std::nullopt;
    }
    EXPECT_TRUE(out.starts_with("kept|")) << "the media link is appended, not written over";
    return out.substr(5);
}

TEST(MediaLinkOfLine, DerivesEveryTextOfTheSharedTableAsTheWindowDoes) {
    for (const auto& linkCase : testing_support::ReadLinkTable()) {
        const std::optional<std::string> expected =
            linkCase.mediaLink ? std::optional(ToUtf8(*linkCase.mediaLink)) : std::nullopt;
        EXPECT_EQ(MediaLinkOf(ToUtf8(linkCase.input)), expected) << "table line " << linkCase.lineNumber;
    }
}

TEST(MediaLinkOfLine, BytesThatAreNotUtf8AreNoPageLink) {
    EXPECT_EQ(MediaLinkOf(Page + "ab12CD3\xFF"), std::nullopt);
    EXPECT_EQ(MediaLinkOf(Page + "ab12CD\xC3"), std::nullopt);               // cut short
    EXPECT_EQ(MediaLinkOf(Page + "ab12CD\xC0\xAF"), std::nullopt);           // overlong "/"
    EXPECT_EQ(MediaLinkOf(Page + "ab12CD3\xED\xA0\x80"), std::nullopt);      // a surrogate
    EXPECT_EQ(MediaLinkOf("\xFF" + Page.substr(1) + "ab12CD34"), std::nullopt);
}

TEST(MediaLinkOfLine, ANulByteIsAnOrdinaryCharacterOfTheVideoId) {
    EXPECT_EQ(MediaLinkOf(Page + "ab\0CD34x"s), Media + "ab/ab\0CD34x.flv"s);
}

TEST(MediaLinkOfLine, LengthsCountUtf16CodeUnitsNotBytesOrCodePoints) {
    // Three bytes each but one code unit each: eight of them make a video ID.
    const std::string threeByte = "\xE4\xB8\xAD";
    std::string id;
    for (int i = 0; i < 8; ++i) {
        id += threeByte;
    }
    EXPECT_EQ(MediaLinkOf(PageWww + id), Media + threeByte + threeByte + "/" + id + ".flv");
    EXPECT_EQ(MediaLinkOf(PageWww + id + threeByte), std::nullopt);
    // Four bytes and two code units: four of them make a video ID of four code points.
    const std::string astral = "\xF0\x9F\x98\x80";
    EXPECT_EQ(MediaLinkOf(Page + astral + astral + astral + astral), Media + astral + "/" + astral + astral + astral + astral + ".flv");
}

TEST(MediaLinkOfLine, ALineThatIsNoPageLinkAllocatesNothing) {
    const std::string lines[] = {
        "",
        Page,
        Page + "ab12CD3",
        Page + "ab12CD345",
        "https" + Page.substr(4) + "ab12CD34",
        Page + "ab12CD3\xFF",
        std::string(4096, 'x'),
        Media + "ab/ab12CD34.flv",
    };
    std::string out;
    out.reserve(256);
    for (const std::string& line : lines) {
        const std::size_t before = allocationCount;
        EXPECT_FALSE(AppendMediaLinkOfLine(line, out));
        EXPECT_EQ(allocationCount, before) << testing::PrintToString(line);
    }
}

}  // namespace
}  // namespace qmz::cli
