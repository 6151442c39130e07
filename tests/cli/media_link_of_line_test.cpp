// What qmz-link derives is checked through its process against the shared table; what only a unit
// test can see is that a line which is no page link costs no allocation, as promised for long runs
// of bad input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "cli/media_link_of_line.hpp"
#include "link/link_constants.hpp"
#include "link/utf8.hpp"

// Counting needs the global allocator replaced, which is process-wide; the program runs one thread.
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
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace qmz::cli {
namespace {

TEST(MediaLinkOfLine, ALineThatIsNoPageLinkAllocatesNothing) {
    const std::string page = ToUtf8(PageLinkPrefix);
    const std::string lines[] = {"", page + "ab12CD3", page + "ab12CD345", "https" + page.substr(4) + "ab12CD34",
                                 page + "ab12CD3\xFF", std::string(4096, 'x'), ToUtf8(MediaLinkPrefix) + "ab/ab12CD34.flv"};
    std::string out;
    out.reserve(256);
    for (const std::string& line : lines) {
        const std::size_t before = allocationCount;
        EXPECT_FALSE(AppendMediaLinkOfLine(line, out));
        EXPECT_EQ(allocationCount, before) << testing::PrintToString(line);
    }
    // The counting sees allocations at all: a page link's media link is made as a new text.
    const std::size_t before = allocationCount;
    EXPECT_TRUE(AppendMediaLinkOfLine(page + "ab12CD34", out));
    EXPECT_GT(allocationCount, before);
}

}  // namespace
}  // namespace qmz::cli
