#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "cli/line_reader.hpp"

namespace qmz::cli {

// Reads an open file descriptor; a failed read is thrown as std::system_error.
class FileSource final : public ByteSource {
public:
    explicit FileSource(int descriptor) : descriptor_(descriptor) {}
    std::size_t Read(std::span<char> into) override;

private:
    int descriptor_;
};

// Gathers output in memory and hands it to a file descriptor in large writes, since one write per
// line would cost more than deriving the link. A failed write is thrown as std::system_error.
class BufferedWriter {
public:
    BufferedWriter(int descriptor, std::size_t flushAt);

    // Append here, then call Appended.
    std::string& Pending() { return pending_; }
    void Appended() {
        if (pending_.size() >= flushAt_) {
            Flush();
        }
    }
    void Flush();

private:
    int descriptor_;
    std::size_t flushAt_;
    std::string pending_;
};

}  // namespace qmz::cli
