#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/exit_deadline.hpp"

// Each case runs in a child process of its own, which the deadline may end.
namespace qmz {
namespace {

using namespace std::chrono_literals;

// A teardown that hangs far longer than the deadline (then to end the process with status 0) is
// ended with the given status. But with the process limit reached no thread can be made, and the
// process ends as it would have (by _Exit here: a leak check's own thread could not be made
// either); the limit binds only users without the right to pass it: root gives that right up first.
TEST(EndProcessAfter, EndsAHangingProcessWithTheGivenStatusUnlessNoThreadCanBeMade) {
    EXPECT_EXIT((EndProcessAfter(50ms, 3), std::this_thread::sleep_for(30s), std::exit(0)), testing::ExitedWithCode(3), "");
    const rlimit none{0, 0};
    const auto limited = [&none] { return (getuid() != 0 || setuid(65534) == 0) && setrlimit(RLIMIT_NPROC, &none) == 0; };
    EXPECT_EXIT((limited() ? EndProcessAfter(50ms, 3) : std::_Exit(8), std::_Exit(0)), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace qmz
