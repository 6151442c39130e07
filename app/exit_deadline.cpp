#include "app/exit_deadline.hpp"

#include <cstdlib>
#include <thread>

namespace qmz {

void EndProcessAfter(std::chrono::milliseconds deadline, int status) {
    // Detached, so that a teardown that does finish ends the process at once. _Exit, because the
    // thread that hangs may hold whatever exit() would need: it runs no handlers and destructors.
    try {
        std::thread([deadline, status] {
            std::this_thread::sleep_for(deadline);
            std::_Exit(status);
        }).detach();
    } catch (...) {
        // No thread can be made (the process limit is reached, no memory): the teardown goes on
        // without a deadline, as it nearly always ends by itself.
    }
}

}  // namespace qmz
