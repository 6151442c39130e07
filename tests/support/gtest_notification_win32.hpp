// GoogleTest's Notification for the Windows build, whose C++ library (mingw-w64's Windows-threads
// flavour, GCC 12) has no std::mutex or std::condition_variable, which GoogleTest's own one is made
// of. Forced into every GoogleTest compile (tests/CMakeLists.txt). Only GoogleTest's internal thread
// helper waits on it, and no QMZ test runs that helper, so a spinning wait is enough.
// Can go when the toolchain's C++ library has std::mutex (GCC 13 has it in this flavour).
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

// Neither copied nor moved, as its atomic is neither.
class Notification {
public:
    void Notify() { notified_.store(true, std::memory_order_release); }
    void WaitForNotification() const {
        while (!notified_.load(std::memory_order_acquire)) {
        }
    }

private:
    std::atomic<bool> notified_ = false;
};

}  // namespace testing::internal
