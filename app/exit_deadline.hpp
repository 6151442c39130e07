#pragma once

#include <chrono>

namespace qmz {

// Ends the process with `status` once `deadline` has passed, unless it has ended by then. Armed
// when the window has closed and the event loop has returned: nothing is left to do, and a toolkit
// whose teardown hangs must not leave an invisible process behind.
void EndProcessAfter(std::chrono::milliseconds deadline, int status);

}  // namespace qmz
