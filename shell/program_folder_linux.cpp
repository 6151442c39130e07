#include "shell/program_folder.hpp"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "base/runtime_failure.hpp"

namespace qmz {
namespace {

// Where Linux shows the running executable: a link to its full path, as bytes. A folder name is
// never decoded, so one that is not valid UTF-8 (an old Latin-1 folder) is kept exactly.
constexpr const char* RunningExecutable = "/proc/self/exe";

std::string ReadExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = readlink(RunningExecutable, path.data(), path.size());
        if (length < 0) {
            throw RuntimeFailure("The program's folder is unknown: " + std::generic_category().message(errno) + ".");
        }
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            return path;
        }
        // The path may have been cut short to fit: try again with room for it.
        path.resize(path.size() * 2);
    }
}

}  // namespace

NativePath ProgramFolder() {
    NativePath path = ReadExecutablePath();
    const std::size_t separator = path.rfind('/');
    if (separator == NativePath::npos || path.front() != '/') {
        throw RuntimeFailure("The program's folder is unknown.");
    }
    // The root keeps its one separator.
    path.resize(separator == 0 ? 1 : separator);
    return path;
}

}  // namespace qmz
