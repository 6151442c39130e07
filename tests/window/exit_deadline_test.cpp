#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/exit_deadline.hpp"

// Each case runs in a child process of its own, which the deadline may end.
namespace qmz {
namespace {

using namespace std::chrono_literals;

// A teardown that hangs far longer than the deadline (then to end the process with status 0) is
// ended with the given status.
TEST(EndProcessAfter, EndsAHangingProcessWithTheGivenStatus) {
    EXPECT_EXIT((EndProcessAfter(50ms, 3), std::this_thread::sleep_for(30s), std::exit(0)), testing::ExitedWithCode(3), "");
}

}  // namespace
}  // namespace qmz
