#include "cli/line_reader.hpp"

#include <cstring>
#include <stdexcept>

namespace qmz::cli {

LineReader::LineReader(ByteSource& source, std::span<char> buffer) : source_(source), buffer_(buffer) {
    if (buffer_.empty()) {
        throw std::invalid_argument("the line reader needs a buffer of at least one byte");
    }
}

std::optional<Line> LineReader::Next() {
    for (;;) {
        const char* const data = buffer_.data();
        const void* const lineFeed = std::memchr(data + scanned_, '\n', end_ - scanned_);
        if (lineFeed != nullptr) {
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - data);
            Line line;
            if (skipping_) {
                line.overlong = true;
                skipping_ = false;
            } else {
                std::size_t length = at - begin_;
                if (length > 0 && data[at - 1] == '\r') {
                    --length;
                }
                line.bytes = std::string_view(data + begin_, length);
            }
            begin_ = scanned_ = at + 1;
            return line;
        }
        scanned_ = end_;
        if (ended_) {
            if (!skipping_ && begin_ == end_) {
                return std::nullopt;
            }
            Line last;
            last.overlong = skipping_;
            if (!skipping_) {
                last.bytes = std::string_view(data + begin_, end_ - begin_);
            }
            skipping_ = false;
            begin_ = scanned_;
            return last;
        }
        TakeMoreBytes();
    }
}

void LineReader::TakeMoreBytes() {
    if (skipping_) {
        begin_ = scanned_ = end_ = 0;
    } else if (begin_ > 0) {
        // The unfinished line moves to the front so that the rest of the buffer can take more.
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        scanned_ = end_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) {
        // The line fills the buffer and its end is not in sight: what is read of it can go.
        skipping_ = true;
        begin_ = scanned_ = end_ = 0;
    }
    const std::span<char> room = buffer_.subspan(end_);
    const std::size_t count = source_.Read(room);
    if (count > room.size()) {
        throw std::length_error("a byte source gave more bytes than it was asked for");
    }
    if (count == 0) {
        ended_ = true;
    }
    end_ += count;
}

}  // namespace qmz::cli
