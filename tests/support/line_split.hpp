// Shared by the line reader's test and its fuzzer: input handed out in pieces, and the lines read
// from it against a plain split of the whole input.
#pragma once

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/line_reader.hpp"

namespace qmz::testing_support {

struct ReadLine {
    std::string bytes;
    bool overlong = false;
    bool operator==(const ReadLine&) const = default;
};

// The reader's contract the plain way: every LF ends a line, a last piece without LF is a line, the
// CR of a CRLF goes, and a line whose bytes before its LF fill the buffer is overlong and empty.
inline std::vector<ReadLine> PlainSplit(const std::string& input, std::size_t bufferSize) {
    std::vector<ReadLine> lines;
    for (std::size_t start = 0; start < input.size();) {
        const std::size_t lineFeed = std::min(input.find('\n', start), input.size());
        std::string raw = input.substr(start, lineFeed - start);
        const bool overlong = raw.size() >= bufferSize;
        if (lineFeed < input.size() && raw.ends_with('\r')) {
            raw.pop_back();
        }
        lines.push_back(overlong ? ReadLine{"", true} : ReadLine{raw});
        start = lineFeed + 1;
    }
    return lines;
}

// Hands out input in pieces of at most the next of pieces (round and round; none: all the room
// offered), as a pipe does.
struct PieceSource final : cli::ByteSource {
    const std::string& input;
    const std::vector<std::size_t>& pieces;
    std::size_t at = 0, reads = 0;
    PieceSource(const std::string& i, const std::vector<std::size_t>& p) : input(i), pieces(p) {}
    std::size_t Read(std::span<char> into) override {
        if (into.empty()) {
            throw std::logic_error("the reader offered no room, and would take a 0 for the end");
        }
        const std::size_t piece = pieces.empty() ? into.size() : pieces[reads % pieces.size()];
        const std::size_t count = std::min({std::max<std::size_t>(piece, 1), into.size(), input.size() - at});
        std::copy_n(input.data() + at, count, into.data());
        at += count;
        ++reads;
        return count;
    }
};

// The lines a reader with a buffer of bufferSize reads from input handed out in pieces. Throws when
// the reader gives more lines than the input could hold, or a line or a read after the end.
inline std::vector<ReadLine> ReadAll(const std::string& input, std::size_t bufferSize,
                                     const std::vector<std::size_t>& pieces) {
    PieceSource source(input, pieces);
    std::vector<char> buffer(bufferSize);
    cli::LineReader reader(source, buffer);
    std::vector<ReadLine> lines;
    while (const std::optional<cli::Line> line = reader.Next()) {
        lines.push_back({std::string(line->bytes), line->overlong});
        if (lines.size() > input.size() + 1) {
            throw std::logic_error("more lines than the input could hold: the reader is going round");
        }
    }
    const std::size_t reads = source.reads;
    if (reader.Next() || source.reads != reads) {
        throw std::logic_error("after the end the reader gave a line or read again");
    }
    return lines;
}

}  // namespace qmz::testing_support
