// The hand-off to the desktop as it happens: real handler processes, the recording stand-in
// tests/support/xdg-open first on PATH. What a user sees of it (the link, the folder, the clean
// start, no handler) is in tests/journeys.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "base/runtime_failure.hpp"
#include "shell/open_link.hpp"
#include "shell/open_link_linux.hpp"

namespace qmz {
namespace {

namespace fs = std::filesystem;

// Waits up to 20 seconds for done() to hold.
bool WaitFor(const std::function<bool()>& done) {
    for (int round = 0; round < 2000 && !done(); ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// True when this process has no child, running or ended and never reaped (a zombie); asking takes
// no child's status.
bool NoChildren() {
    siginfo_t child{};
    return waitid(P_ALL, 0, &child, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
}

// The stand-in first on PATH while the test runs, recording into the test's own folder, beside it.
class OpenLinkTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_ / "bin");
        fs::copy_file(QMZ_STAND_IN_HANDLER, folder_ / "bin" / "xdg-open");
        setenv("PATH", ((folder_ / "bin").string() + ":" + savedPath_).c_str(), 1);
        setenv("QMZ_TEST_RECORDS", folder_.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", savedPath_.c_str(), 1);
        fs::remove_all(folder_);
    }
    void Open(std::u16string_view link, const FailureReport& onLateFailure = {}) {
        handoff_.Open(0, u"open", link, fs::temp_directory_path().native(), onLateFailure);
    }
    // Waits until at least count handlers have recorded their start; gives, for every start so
    // far, its working folder and whether it inherited the watched descriptor.
    std::vector<std::string> WaitForStarts(std::size_t count) const {
        std::vector<std::string> starts;
        WaitFor([&] {
            starts.clear();
            for (const auto& entry : fs::directory_iterator(folder_)) {
                std::ifstream record(entry.path());
                std::string arguments, folder, line;
                if (entry.path().extension() == ".started" && std::getline(std::getline(std::getline(record, arguments), folder), line)) {
                    starts.push_back(folder + " " + line);
                }
            }
            return starts.size() >= count;
        });
        return starts;
    }

    const fs::path folder_ = fs::temp_directory_path() / ("qmz-handler-" + std::to_string(getpid()));
    const std::string savedPath_ = std::getenv("PATH");
    LinkHandoff handoff_;
};

// One reaper thread watches every handler: none is held per running handler, none is left a
// zombie, and no descriptor is leaked to a handler or kept after it ends. The thread sleeps while
// it waits. (What the user hears of a handler's failure is a journey's.)
TEST_F(OpenLinkTest, HoldsNoThreadZombieOrDescriptorPerHandler) {
    const auto entries = [](const char* folder) { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); };
    Open(u"http://site.test/first");  // starts the reaper, whose thread and descriptors stay
    ASSERT_TRUE(WaitFor(NoChildren));
    const auto threadsBefore = entries("/proc/self/task");
    const auto descriptorsBefore = entries("/proc/self/fd");

    // A descriptor this program holds without close-on-exec must not reach the handler.
    const int watched = open("/dev/null", O_RDONLY);
    setenv("QMZ_TEST_WATCHED_FD", std::to_string(watched).c_str(), 1);
    setenv("QMZ_TEST_HANDLER_SLEEP", "3", 1);
    constexpr int Opens = 50;
    for (int i = 0; i < Opens; ++i) {
        Open(u"http://site.test/" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)));
    }
    unsetenv("QMZ_TEST_HANDLER_SLEEP");
    unsetenv("QMZ_TEST_WATCHED_FD");
    const auto starts = WaitForStarts(Opens + 1);
    EXPECT_EQ(entries("/proc/self/task"), threadsBefore) << "threads while " << Opens << " handlers sleep";
    close(watched);
    EXPECT_EQ(starts, std::vector<std::string>(Opens + 1, fs::temp_directory_path().string() + " no"));
    EXPECT_TRUE(WaitFor(NoChildren)) << "a handler was never reaped";
    EXPECT_EQ(entries("/proc/self/fd"), descriptorsBefore);
    // While this thread sleeps, the process's processor time (all its threads') is the reaper's.
    const std::clock_t before = std::clock();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_LT(std::clock() - before, CLOCKS_PER_SEC / 20) << "the reaper's thread spins";
}

// A link that an argument cannot carry whole (a NUL ends it, UTF-8 has no form for half a
// character) would reach the handler as another link; and a clean start needs the reaper's thread
// and memory for it. When either fails, nothing is started, the caller hears of it and its thread
// still takes signals.
TEST_F(OpenLinkTest, StartsNothingForALinkItCannotCarryOrWhenTheSystemRefusesACleanStart) {
    const std::pair<std::u16string, std::function<void()>> refusals[] = {
        {std::u16string(u"http://site.test/\0tail", 22), [] {}},
        {u"http://x/a\xD83D/a.flv", [] {}},
        {u"http://site.test/", [] { throw std::system_error(EAGAIN, std::generic_category(), "pthread_create"); }},
        {u"http://site.test/", [] { throw std::bad_alloc(); }},
    };
    for (const auto& [refused, refuse] : refusals) {
        HandlerReaper reaper([&refuse](std::function<void()> body) { return refuse(), std::thread(std::move(body)); });
        EXPECT_THROW(OpenLinkWith(reaper, u"open", refused, fs::temp_directory_path().native(), {}), RuntimeFailure);
        sigset_t blocked;
        pthread_sigmask(SIG_SETMASK, nullptr, &blocked);
        EXPECT_EQ(sigismember(&blocked, SIGTERM), 0);
    }
    EXPECT_TRUE(NoChildren()) << "a handler was started";
}

// A program folder that has gone (moved or removed while QMZ runs) leaves the handler at home.
TEST_F(OpenLinkTest, StartsTheHandlerAtHomeWhenTheProgramFolderHasGone) {
    setenv("HOME", folder_.c_str(), 1);
    handoff_.Open(0, u"open", u"http://site.test/", (folder_ / "gone").native(), {});
    EXPECT_EQ(WaitForStarts(1), std::vector<std::string>{folder_.string() + " no"});
}

}  // namespace
}  // namespace qmz
