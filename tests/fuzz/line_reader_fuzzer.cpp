// Reads arbitrary bytes through the line reader with a buffer of any size, handed out in pieces of
// any sizes, and compares the lines with a plain split of the whole input: every LF ends a line, a
// last piece without LF is a line, the CR of a CRLF goes, and a line whose bytes before its LF fill
// the buffer is reported overlong and empty.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/line_reader.hpp"

namespace {

struct ReadLine {
    std::string bytes;
    bool overlong;
    bool operator==(const ReadLine&) const = default;
};

// Gives at most the next piece size in each read, and sometimes less than the room offered, the
// way a pipe does.
class PieceSource final : public qmz::cli::ByteSource {
public:
    PieceSource(std::string input, std::vector<std::size_t> pieces) : input_(std::move(input)), pieces_(std::move(pieces)) {}
    std::size_t Read(std::span<char> into) override {
        if (into.empty()) {
            std::abort();  // a reader that offers no room would take a 0 for the end of input
        }
        const std::size_t piece = pieces_.empty() ? into.size() : std::max<std::size_t>(1, pieces_[reads_++ % pieces_.size()]);
        const std::size_t count = std::min({piece, into.size(), input_.size() - at_});
        std::copy_n(input_.data() + at_, count, into.data());
        at_ += count;
        return count;
    }

private:
    std::string input_;
    std::vector<std::size_t> pieces_;
    std::size_t at_ = 0;
    std::size_t reads_ = 0;
};

std::vector<ReadLine> PlainSplit(const std::string& input, std::size_t bufferSize) {
    std::vector<ReadLine> lines;
    std::size_t start = 0;
    while (start < input.size()) {
        const std::size_t lineFeed = input.find('\n', start);
        const bool ended = lineFeed != std::string::npos;
        std::string raw = input.substr(start, ended ? lineFeed - start : std::string::npos);
        start = ended ? lineFeed + 1 : input.size();
        if (raw.size() >= bufferSize) {
            lines.push_back({"", true});
        } else {
            if (ended && !raw.empty() && raw.back() == '\r') {
                raw.pop_back();
            }
            lines.push_back({raw, false});
        }
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::size_t bufferSize = provider.ConsumeIntegralInRange<std::size_t>(1, 64);
    std::vector<std::size_t> pieces(provider.ConsumeIntegralInRange<std::size_t>(0, 4));
    for (std::size_t& piece : pieces) {
        piece = provider.ConsumeIntegralInRange<std::size_t>(1, 80);
    }
    const std::string input = provider.ConsumeRemainingBytesAsString();

    PieceSource source(input, pieces);
    std::vector<char> buffer(bufferSize);
    qmz::cli::LineReader reader(source, buffer);
    std::vector<ReadLine> lines;
    while (const std::optional<qmz::cli::Line> line = reader.Next()) {
        lines.push_back({std::string(line->bytes), line->overlong});
        if (lines.size() > input.size() + 1) {
            std::abort();  // more lines than the input could hold: the reader is going round
        }
    }
    if (lines != PlainSplit(input, bufferSize)) {
        std::abort();
    }
    // At the end of input the reader keeps answering "no more lines".
    if (reader.Next()) {
        std::abort();
    }
    return 0;
}
