#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace qmz::cli {

// Where the line reader takes its bytes from: in qmz-link, standard input behind a step that first
// writes out the answers gathered so far (main.cpp).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Puts the next bytes at the front of into and gives their number; 0 only at the end of input.
    // Failures are thrown.
    virtual std::size_t Read(std::span<char> into) = 0;
};

struct Line {
    // The line without its LF or CRLF ending; empty when the line is overlong.
    std::string_view bytes;
    // The line's bytes before its LF (a CR of a CRLF included) numbered as many as the buffer holds
    // or more. Such a line is skipped without being kept, and still counts as one line.
    bool overlong = false;
};

// Splits a stream of bytes into lines in a buffer of fixed size, so memory stays the same however
// long the input or its lines are. A last line without LF is a line; an empty input has none.
// Only LF ends a line; a CR is removed only when it stands right before the LF.
class LineReader {
public:
    // buffer must not be empty; it has to outlive the reader.
    LineReader(ByteSource& source, std::span<char> buffer);

    // The next line, or nothing at the end of input. The bytes stay valid until the next call.
    std::optional<Line> Next();

private:
    void TakeMoreBytes();

    ByteSource& source_;
    std::span<char> buffer_;
    std::size_t begin_ = 0;    // first byte of the line being gathered
    std::size_t scanned_ = 0;  // bytes before this hold no LF
    std::size_t end_ = 0;      // end of the bytes read so far
    bool skipping_ = false;    // inside an overlong line, looking for its LF
    bool ended_ = false;
};

}  // namespace qmz::cli
