#pragma once

#include <cstdint>
#include <stdexcept>

namespace qmz {

// The one kind of failure the form runtime and the shell raise: a property that could not be read
// or written, or a shell function that could not be reached. Each action decides what it means.
class RuntimeFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The platform's handle of the main window (an X11 window id, an HWND), handed to the shell as the
// owner of whatever window it shows.
using WindowHandle = std::uintptr_t;

}  // namespace qmz
