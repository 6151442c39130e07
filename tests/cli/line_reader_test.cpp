#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/line_reader.hpp"
#include "tests/support/line_split.hpp"

namespace qmz::testing_support {

void PrintTo(const ReadLine& line, std::ostream* os) {
    *os << (line.overlong ? "overlong" : testing::PrintToString(line.bytes));
}

namespace {

using namespace std::string_literals;

const ReadLine Overlong{"", true};

struct Case {
    const char* name;
    std::string input;
    std::size_t bufferSize;
    std::vector<ReadLine> expected;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class LineReaderTest : public testing::TestWithParam<Case> {};

// Each case as written, whatever the read sizes; and, since the fuzzer holds the reader to the
// plain split, the split to each case, and the reader to the split for every small buffer, so
// that moving an unfinished line to the front and skipping an overlong one are tried everywhere.
TEST_P(LineReaderTest, GivesTheseLinesWhateverTheBufferAndReadSizes) {
    const Case& c = GetParam();
    EXPECT_EQ(PlainSplit(c.input, c.bufferSize), c.expected);
    for (const std::size_t piece : {1, 2, 3, 1 << 20}) {
        EXPECT_EQ(ReadAll(c.input, c.bufferSize, {piece}), c.expected) << "reads of " << piece;
        for (std::size_t bufferSize = 1; bufferSize <= 12; ++bufferSize) {
            ASSERT_EQ(ReadAll(c.input, bufferSize, {piece, 5}), PlainSplit(c.input, bufferSize))
                << "buffer " << bufferSize << ", reads of " << piece << " and 5";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineReaderTest,
    testing::Values(
        Case{"empty_input_has_no_line", "", 64, {}},
        Case{"empty_lines_count", "\n\r\n\n", 64, {{""}, {""}, {""}}},
        Case{"last_line_without_lf_counts", "a\r\nb\nc", 64, {{"a"}, {"b"}, {"c"}}},
        Case{"only_the_cr_before_lf_goes", "a\r\r\nb\rc\nd\r", 64, {{"a\r"}, {"b\rc"}, {"d\r"}}},
        Case{"nul_bytes_are_ordinary", "a\0b\n\0\n"s, 64, {{"a\0b"s}, {"\0"s}}},
        Case{"one_short_of_the_buffer_fits", "abc\nx\n", 4, {{"abc"}, {"x"}}},
        Case{"as_long_as_the_buffer_is_overlong", "abcd\nx\n", 4, {Overlong, {"x"}}},
        Case{"the_cr_of_crlf_counts_toward_the_length", "abc\r\nx\n", 4, {Overlong, {"x"}}},
        Case{"overlong_lines_in_a_row_and_last", "ok\n" + std::string(20, 'a') + "\n" + std::string(50, 'b'), 8,
             {{"ok"}, Overlong, Overlong}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qmz::testing_support
