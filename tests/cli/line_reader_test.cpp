#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cli/line_reader.hpp"

namespace qmz::cli {
namespace {

using namespace std::string_literals;

// Hands out the input in pieces of at most chunk bytes, however much room the reader offers, so
// that lines and CRLF endings fall across reads everywhere.
class StringSource final : public ByteSource {
public:
    StringSource(std::string input, std::size_t chunk) : input_(std::move(input)), chunk_(chunk) {}
    std::size_t Read(std::span<char> into) override {
        ++reads_;
        const std::size_t count = std::min({chunk_, into.size(), input_.size() - at_});
        std::copy_n(input_.data() + at_, count, into.data());
        at_ += count;
        return count;
    }
    int Reads() const { return reads_; }

private:
    std::string input_;
    std::size_t chunk_;
    std::size_t at_ = 0;
    int reads_ = 0;
};

struct ReadLine {
    std::string bytes;
    bool overlong;
    bool operator==(const ReadLine&) const = default;
};

void PrintTo(const ReadLine& line, std::ostream* os) {
    *os << (line.overlong ? "overlong" : testing::PrintToString(line.bytes));
}

std::vector<ReadLine> ReadAll(const std::string& input, std::size_t bufferSize, std::size_t chunk) {
    StringSource source(input, chunk);
    std::vector<char> buffer(bufferSize);
    LineReader reader(source, buffer);
    std::vector<ReadLine> lines;
    while (const std::optional<Line> line = reader.Next()) {
        lines.push_back({std::string(line->bytes), line->overlong});
    }
    return lines;
}

// The reader's contract written the plain way: split at every LF, keep a last piece that is not
// empty, drop the CR of a CRLF, and call a line overlong when its bytes before the LF fill the buffer.
std::vector<ReadLine> ExpectedLines(const std::string& input, std::size_t bufferSize) {
    std::vector<ReadLine> lines;
    std::size_t start = 0;
    while (start < input.size()) {
        const std::size_t lineFeed = input.find('\n', start);
        const bool ended = lineFeed != std::string::npos;
        std::string raw = input.substr(start, ended ? lineFeed - start : std::string::npos);
        start = ended ? lineFeed + 1 : input.size();
        if (raw.size() >= bufferSize) {
            lines.push_back({"", true});
            continue;
        }
        if (ended && raw.ends_with('\r')) {
            raw.pop_back();
        }
        lines.push_back({raw, false});
    }
    return lines;
}

struct ExplicitCase {
    const char* name;
    std::string input;
    std::size_t bufferSize;
    std::vector<ReadLine> expected;
};

void PrintTo(const ExplicitCase& c, std::ostream* os) {
    *os << c.name;
}

class LineReaderExplicitTest : public testing::TestWithParam<ExplicitCase> {};

TEST_P(LineReaderExplicitTest, GivesTheseLinesWhateverTheReadSizes) {
    const ExplicitCase& c = GetParam();
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{1} << 20}) {
        EXPECT_EQ(ReadAll(c.input, c.bufferSize, chunk), c.expected) << "reads of " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineReaderExplicitTest,
    testing::Values(
        ExplicitCase{"empty_input_has_no_line", "", 64, {}},
        ExplicitCase{"a_lone_lf_is_one_empty_line", "\n", 64, {{"", false}}},
        ExplicitCase{"last_line_without_lf_counts", "a\nb", 64, {{"a", false}, {"b", false}}},
        ExplicitCase{"crlf_and_lf_both_end_lines", "a\r\nb\nc\r\n", 64, {{"a", false}, {"b", false}, {"c", false}}},
        ExplicitCase{"only_the_cr_before_lf_goes", "a\r\r\nb\rc\n", 64, {{"a\r", false}, {"b\rc", false}}},
        ExplicitCase{"a_cr_at_the_very_end_stays", "a\r", 64, {{"a\r", false}}},
        ExplicitCase{"nul_bytes_are_ordinary", "a\0b\n\0\n"s, 64, {{"a\0b"s, false}, {"\0"s, false}}},
        ExplicitCase{"empty_lines_count", "\n\r\n\n", 64, {{"", false}, {"", false}, {"", false}}},
        ExplicitCase{"a_line_one_short_of_the_buffer_fits", "abc\nx\n", 4, {{"abc", false}, {"x", false}}},
        ExplicitCase{"a_line_as_long_as_the_buffer_is_overlong", "abcd\nx\n", 4, {{"", true}, {"x", false}}},
        ExplicitCase{"the_cr_of_crlf_counts_toward_the_length", "abc\r\nx\n", 4, {{"", true}, {"x", false}}},
        ExplicitCase{"a_very_long_line_is_one_line", std::string(100000, 'x') + "\nshort\n", 16,
                     {{"", true}, {"short", false}}},
        ExplicitCase{"an_overlong_last_line_without_lf_counts", "ok\n" + std::string(50, 'y'), 8,
                     {{"ok", false}, {"", true}}},
        ExplicitCase{"overlong_lines_in_a_row", std::string(20, 'a') + "\n" + std::string(20, 'b') + "\n", 8,
                     {{"", true}, {"", true}}}),
    [](const testing::TestParamInfo<ExplicitCase>& info) { return std::string(info.param.name); });

// Many inputs built from the bytes that matter (LF, CR, NUL and others), against the plain
// splitter, for every small buffer size and read size: the bookkeeping of moving an unfinished
// line to the front and of skipping an overlong one has nowhere to hide.
TEST(LineReader, AgreesWithThePlainSplitterOnManyInputs) {
    std::mt19937 random(20240607);
    const std::string alphabet = "\n\r\0ab\xC3\xA9"s;
    for (int round = 0; round < 400; ++round) {
        std::string input(random() % 40, ' ');
        for (char& byte : input) {
            byte = alphabet[random() % alphabet.size()];
        }
        for (const std::size_t bufferSize : {1, 2, 3, 4, 5, 8, 13, 64}) {
            for (const std::size_t chunk : {1, 2, 3, 7, 100}) {
                ASSERT_EQ(ReadAll(input, bufferSize, chunk), ExpectedLines(input, bufferSize))
                    << testing::PrintToString(input) << " buffer " << bufferSize << " reads of " << chunk;
            }
        }
    }
}

TEST(LineReader, AfterTheEndItStaysAtTheEndWithoutReadingAgain) {
    StringSource source("a\n", 100);
    std::vector<char> buffer(16);
    LineReader reader(source, buffer);
    ASSERT_TRUE(reader.Next());
    EXPECT_FALSE(reader.Next());
    const int reads = source.Reads();
    EXPECT_FALSE(reader.Next());
    EXPECT_EQ(source.Reads(), reads);
}

TEST(LineReader, KeepsToItsBufferOnAHugeLine) {
    // 64 MiB in one line through a 64-byte buffer: only possible if nothing of it is kept.
    class Endless final : public ByteSource {
    public:
        std::size_t Read(std::span<char> into) override {
            if (left_ == 0) {
                return 0;
            }
            const std::size_t count = std::min(left_, into.size());
            std::fill_n(into.data(), count, 'z');
            left_ -= count;
            if (left_ == 0) {
                into[count - 1] = '\n';
            }
            return count;
        }

    private:
        std::size_t left_ = std::size_t{64} << 20;
    } source;
    std::vector<char> buffer(64);
    LineReader reader(source, buffer);
    const std::optional<Line> line = reader.Next();
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->overlong);
    EXPECT_FALSE(reader.Next());
}

TEST(LineReader, RefusesAnEmptyBuffer) {
    StringSource source("a\n", 1);
    EXPECT_THROW(LineReader(source, std::span<char>()), std::invalid_argument);
}

TEST(LineReader, RefusesASourceThatGivesMoreThanItWasAskedFor) {
    class Overflowing final : public ByteSource {
    public:
        std::size_t Read(std::span<char> into) override { return into.size() + 1; }
    } source;
    std::vector<char> buffer(8);
    LineReader reader(source, buffer);
    EXPECT_THROW(reader.Next(), std::length_error);
}

}  // namespace
}  // namespace qmz::cli
