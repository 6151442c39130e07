#pragma once

#include <fcntl.h>
#include <unistd.h>

namespace qmz {

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that the program was started
// without, so that no file it opens later takes a standard stream's place (Qt's first warning would
// go into its X connection). Each is opened the other way round, read-only for the output streams:
// a write to a closed standard output still fails, and the program still says so. Called first in
// main.
inline void FillClosedStandardStreams() noexcept {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        // open takes the lowest free descriptor: this one, as those below it are open by now.
        if (fcntl(descriptor, F_GETFD) < 0) {
            open("/dev/null", descriptor == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        }
    }
}

}  // namespace qmz
