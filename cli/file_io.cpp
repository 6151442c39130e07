#include "cli/file_io.hpp"

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace qmz::cli {
namespace {

// Room past the flush mark for one more output line, so that appending never reallocates.
constexpr std::size_t Headroom = 4096;

}  // namespace

std::size_t FileSource::Read(std::span<char> into) {
    for (;;) {
        const ssize_t count = ::read(descriptor_, into.data(), into.size());
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "cannot read the input");
        }
    }
}

BufferedWriter::BufferedWriter(int descriptor, std::size_t flushAt) : descriptor_(descriptor), flushAt_(flushAt) {
    pending_.reserve(flushAt_ + Headroom);
}

void BufferedWriter::Flush() {
    std::size_t written = 0;
    while (written < pending_.size()) {
        const ssize_t count = ::write(descriptor_, pending_.data() + written, pending_.size() - written);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            pending_.clear();
            throw std::system_error(errno, std::generic_category(), "cannot write the output");
        }
        written += static_cast<std::size_t>(count);
    }
    pending_.clear();
}

}  // namespace qmz::cli
