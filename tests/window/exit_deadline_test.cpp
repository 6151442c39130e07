#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/exit_deadline.hpp"

// Each case runs in a child process of its own, which the deadline may end.
namespace qmz {
namespace {

using namespace std::chrono_literals;

// A teardown that takes far longer than any deadline below, then ends the process with status 0.
void HangThenExit() {
    std::this_thread::sleep_for(30s);
    std::exit(0);
}

TEST(EndProcessAfter, EndsAHangingProcessWithTheGivenStatus) {
    EXPECT_EXIT((EndProcessAfter(50ms, 3), HangThenExit()), testing::ExitedWithCode(3), "");
}

}  // namespace
}  // namespace qmz
