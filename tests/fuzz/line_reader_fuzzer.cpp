// Reads arbitrary bytes through the line reader with a buffer of any size, handed out in pieces of
// any sizes as a pipe hands them out, and compares the lines with a plain split of the whole input.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "cli/line_reader.hpp"

namespace {

using Lines = std::vector<std::pair<std::string, bool>>;  // a line's bytes, and whether it was overlong

// The reader's contract the plain way: every LF ends a line, a last piece without LF is a line, the
// CR of a CRLF goes, and a line whose bytes before its LF fill the buffer is overlong and empty.
Lines PlainSplit(const std::string& input, std::size_t bufferSize) {
    Lines lines;
    for (std::size_t start = 0; start < input.size();) {
        const std::size_t lineFeed = std::min(input.find('\n', start), input.size());
        std::string raw = input.substr(start, lineFeed - start);
        const bool overlong = raw.size() >= bufferSize;
        if (lineFeed < input.size() && raw.ends_with('\r')) {
            raw.pop_back();
        }
        lines.emplace_back(overlong ? "" : raw, overlong);
        start = lineFeed + 1;
    }
    return lines;
}

// Hands out the input in pieces of the given sizes, round and round (none: all the room offered).
struct PieceSource final : qmz::cli::ByteSource {
    PieceSource(const std::string& input, const std::vector<std::size_t>& pieces) : input(input), pieces(pieces) {}
    std::size_t Read(std::span<char> into) override {
        if (into.empty()) {
            std::abort();  // no room offered: a 0 would read as the end
        }
        const std::size_t piece = pieces.empty() ? into.size() : pieces[reads++ % pieces.size()];
        const std::size_t count = std::min({piece, into.size(), input.size() - at});
        std::copy_n(input.data() + at, count, into.data());
        at += count;
        return count;
    }
    const std::string& input;
    const std::vector<std::size_t>& pieces;
    std::size_t at = 0, reads = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    std::vector<char> buffer(provider.ConsumeIntegralInRange<std::size_t>(1, 64));
    std::vector<std::size_t> pieces(provider.ConsumeIntegralInRange<std::size_t>(0, 4));
    for (std::size_t& piece : pieces) {
        piece = provider.ConsumeIntegralInRange<std::size_t>(1, 80);
    }
    const std::string input = provider.ConsumeRemainingBytesAsString();
    PieceSource source(input, pieces);
    qmz::cli::LineReader reader(source, buffer);
    Lines lines;
    while (const auto line = reader.Next()) {
        lines.emplace_back(std::string(line->bytes), line->overlong);
        if (lines.size() > input.size() + 1) {
            std::abort();  // more lines than the input holds: the reader goes round
        }
    }
    if (lines != PlainSplit(input, buffer.size()) || reader.Next()) {
        std::abort();
    }
    return 0;
}
