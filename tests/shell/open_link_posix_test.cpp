// The hand-off to the desktop as it happens: real handler processes, the recording stand-in
// tests/support/xdg-open first on PATH. What a user sees of it (the link, the folder, the clean
// start, no handler) is in tests/journeys.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/runtime_failure.hpp"
#include "shell/open_link.hpp"
#include "shell/open_link_posix.hpp"

namespace qmz {
namespace {

namespace fs = std::filesystem;

// Waits up to 20 seconds for done() to hold.
template <typename Condition>
bool WaitFor(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// Children of this process, running or ended and never reaped (zombies).
int CountChildren() {
    int children = 0;
    const std::string parent = "PPid:\t" + std::to_string(getpid());
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream status(entry.path() / "status");
        for (std::string line; std::getline(status, line);) {
            children += line == parent ? 1 : 0;
        }
    }
    return children;
}
int CountEntries(const char* folder) {
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// The stand-in first on PATH while the test runs, recording into a folder of its own.
class OpenLinkTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_ / "bin");
        fs::create_directories(folder_ / "records");
        fs::copy_file(QMZ_STAND_IN_HANDLER, folder_ / "bin" / "xdg-open");
        setenv("PATH", ((folder_ / "bin").string() + ":" + savedPath_).c_str(), 1);
        setenv("QMZ_TEST_RECORDS", (folder_ / "records").c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", savedPath_.c_str(), 1);
        fs::remove_all(folder_);
    }
    void Open(std::u16string_view link, const FailureReport& onLateFailure = {}) {
        handoff_.Open(0, u"open", link, fs::temp_directory_path().native(), onLateFailure);
    }
    // Waits until at least count handlers have recorded their start; gives, for every start so
    // far, the record's third line: whether the handler inherited the watched descriptor.
    std::vector<std::string> WaitForStarts(std::size_t count) const {
        std::vector<std::string> inherited;
        WaitFor([&] {
            inherited.clear();
            for (const auto& entry : fs::directory_iterator(folder_ / "records")) {
                std::ifstream record(entry.path());
                std::string arguments, folder, line;
                if (entry.path().extension() == ".started" && std::getline(std::getline(std::getline(record, arguments), folder), line)) {
                    inherited.push_back(line);
                }
            }
            return inherited.size() >= count;
        });
        return inherited;
    }

    const fs::path folder_ = fs::temp_directory_path() / ("qmz-handler-" + std::to_string(getpid()));
    const std::string savedPath_ = std::getenv("PATH");
    LinkHandoff handoff_;
};

// An argument cannot carry a NUL, nor UTF-8 half a character: the handler would get another link.
TEST_F(OpenLinkTest, RefusesALinkThatAnArgumentCannotCarryWhole) {
    EXPECT_THROW(Open(std::u16string(u"http://site.test/\0tail", 22)), RuntimeFailure);
    EXPECT_THROW(Open(u"http://x/a\xD83D/a.flv"), RuntimeFailure);
    EXPECT_EQ(CountChildren(), 0);
}

// One reaper thread watches every handler: none is held per running handler, none is left a
// zombie, and no descriptor is leaked to a handler or kept after it ends.
TEST_F(OpenLinkTest, HoldsNoThreadZombieOrDescriptorPerHandler) {
    Open(u"http://site.test/first");  // starts the reaper, whose thread and descriptors stay
    ASSERT_TRUE(WaitFor([] { return CountChildren() == 0; }));
    const int threadsBefore = CountEntries("/proc/self/task");
    const int descriptorsBefore = CountEntries("/proc/self/fd");

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
    EXPECT_EQ(CountEntries("/proc/self/task"), threadsBefore) << "threads while " << Opens << " handlers sleep";
    close(watched);
    EXPECT_EQ(starts, std::vector<std::string>(Opens + 1, "no"));
    EXPECT_TRUE(WaitFor([] { return CountChildren() == 0; })) << "a handler was never reaped";
    EXPECT_EQ(CountEntries("/proc/self/fd"), descriptorsBefore);
}

// xdg-open's "action failed" (4) reaches the user later, as "no method available" (3) does (a
// journey shows that one); any other status does not. The handlers end one after the other.
TEST_F(OpenLinkTest, ReportsOnlyTheDesktopsOwnFailuresLater) {
    std::mutex mutex;
    std::vector<std::string> reports;
    for (const char* status : {"1", "4"}) {
        setenv("QMZ_TEST_HANDLER_STATUS", status, 1);
        Open(u"http://www.site.test", [&](std::string message) { const std::lock_guard lock(mutex); reports.push_back(message); });
        ASSERT_TRUE(WaitFor([] { return CountChildren() == 0; }));
    }
    unsetenv("QMZ_TEST_HANDLER_STATUS");
    ASSERT_TRUE(WaitFor([&] { const std::lock_guard lock(mutex); return !reports.empty(); }));
    const std::lock_guard lock(mutex);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].starts_with("No program to open web links is set up")) << reports[0];
    EXPECT_TRUE(reports[0].ends_with("(exit status 4).")) << reports[0];
}

// When the system refuses the reaper's thread, nothing is started and the caller hears of it.
TEST_F(OpenLinkTest, StartsNothingWhenTheSystemRefusesTheReapersThread) {
    HandlerReaper reaper([](std::function<void()>) -> std::thread {
        throw std::system_error(EAGAIN, std::generic_category(), "pthread_create");
    });
    EXPECT_THROW(OpenLinkWith(reaper, u"open", u"http://site.test/", fs::temp_directory_path().native(), {}), RuntimeFailure);
    EXPECT_EQ(CountChildren(), 0);
}

}  // namespace
}  // namespace qmz
