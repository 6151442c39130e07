#pragma once

#include <cstdint>

namespace qmz {

// The platform's handle of the main window (an X11 window id, an HWND), handed to the shell as the
// owner of whatever window it shows.
using WindowHandle = std::uintptr_t;

}  // namespace qmz
