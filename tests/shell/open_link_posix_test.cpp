// The hand-off to the desktop as it happens: a real xdg-open process, the recording stand-in
// tests/support/xdg-open, first on PATH.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/runtime_failure.hpp"
#include "link/utf8.hpp"
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
bool NoChildren() {
    return CountChildren() == 0;
}
int CountEntries(const char* folder) {
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// How the stand-in was started, as it recorded it.
struct HandlerStart {
    std::vector<std::string> arguments;
    std::string workingFolder;
    bool inheritedWatchedDescriptor;
    std::string processState;  // its blocked and ignored signals, session and standard streams
};

// The stand-in first on PATH while the test runs (or, with installed false, no handler at all),
// recording into a folder of its own.
class OpenLinkTest : public testing::Test {
protected:
    void SetUp() override { Install(true); }
    void TearDown() override {
        setenv("PATH", savedPath_.c_str(), 1);
        fs::remove_all(folder_);
    }
    void Install(bool installed) {
        fs::create_directories(folder_ / "bin");
        fs::create_directories(folder_ / "records");
        fs::remove(folder_ / "bin" / "xdg-open");
        if (installed) {
            fs::copy_file(QMZ_STAND_IN_HANDLER, folder_ / "bin" / "xdg-open");
        }
        // The stand-in needs the usual tools (sh, date, mv, sleep) behind it.
        setenv("PATH", ((folder_ / "bin").string() + (installed ? ":" + savedPath_ : "")).c_str(), 1);
        setenv("QMZ_TEST_RECORDS", (folder_ / "records").c_str(), 1);
    }
    void Open(std::u16string_view verb, std::u16string_view link, const fs::path& folder = fs::temp_directory_path(),
              const FailureReport& onLateFailure = {}) {
        handoff_.Open(0, verb, link, folder.native(), onLateFailure);
    }
    // Waits until at least count handlers have recorded their start; gives every start so far.
    std::vector<HandlerStart> WaitForStarts(std::size_t count) const {
        std::set<fs::path> files;
        WaitFor([&] {
            files.clear();
            for (const auto& entry : fs::directory_iterator(folder_ / "records")) {
                if (entry.path().extension() == ".started") {
                    files.insert(entry.path());
                }
            }
            return files.size() >= count;
        });
        std::vector<HandlerStart> starts;
        for (fs::path file : files) {
            std::ifstream record(file, std::ios::binary);
            HandlerStart& start = starts.emplace_back();
            std::string count, inherited;
            std::getline(record, count);
            std::getline(record, start.workingFolder);
            std::getline(record, inherited);
            start.inheritedWatchedDescriptor = inherited == "yes";
            for (std::string argument; std::getline(record, argument, '\0');) {
                start.arguments.push_back(argument);
            }
            std::getline(std::ifstream(file.replace_extension(".state")), start.processState);
        }
        return starts;
    }

    const fs::path folder_ = fs::temp_directory_path() / ("qmz-handler-" + std::to_string(getpid()));
    const std::string savedPath_ = std::getenv("PATH");
    LinkHandoff handoff_;
};

TEST_F(OpenLinkTest, HandsTheLinkUnchangedAsTheHandlersOnlyArgumentInTheFolder) {
    const auto folder = folder_ / "a folder with spaces";
    fs::create_directory(folder);
    const std::u16string links[] = {
        u"http://media.site.test/s/a /a b\"c'd.flv",
        u"http://x/;touch pwned;$(touch pwned)`touch pwned`|&>x<y*?[a]{b}\\",
        u"http://x/\u00e9\u4e2d\U0001F600\u200F.flv",
        u"-not-an-option",
        u"",
    };
    std::multiset<std::string> sent;
    for (const auto& link : links) {
        Open(u"open", link, folder);
        sent.insert(ToUtf8(link));
    }
    // Handlers run side by side, so they may record in any order.
    std::multiset<std::string> received;
    for (const auto& start : WaitForStarts(std::size(links))) {
        ASSERT_EQ(start.arguments.size(), 1u);
        received.insert(start.arguments[0]);
        EXPECT_EQ(start.workingFolder, folder.string());
    }
    EXPECT_EQ(received, sent);
    EXPECT_FALSE(fs::exists(folder / "pwned"));
}

// Like the Windows shell, "open" in any letter case; another verb opens nothing.
TEST_F(OpenLinkTest, TakesTheOpenVerbInAnyLetterCaseAndNoOtherVerb) {
    for (const auto* verb : {u"open", u"OPEN", u"oPeN", u"edit", u"", u"opens"}) {
        Open(verb, u"http://site.test/");
    }
    // Every handler was started before Open returned; once all have ended, all have recorded.
    ASSERT_TRUE(WaitFor(NoChildren));
    EXPECT_EQ(WaitForStarts(0).size(), 3u);
}

// No handler at all, one that may not be run, and a link that an argument cannot carry whole.
TEST_F(OpenLinkTest, FailsAndStartsNothingWhenTheHandlerCannotTakeTheLink) {
    EXPECT_THROW(Open(u"open", std::u16string(u"http://site.test/\0tail", 22)), RuntimeFailure);
    Install(false);
    EXPECT_THROW(Open(u"open", u"http://site.test/"), RuntimeFailure);
    std::ofstream(folder_ / "bin" / "xdg-open") << "#!/bin/sh\n";
    fs::permissions(folder_ / "bin" / "xdg-open", fs::perms::owner_read);
    EXPECT_THROW(Open(u"open", u"http://site.test/"), RuntimeFailure);
    EXPECT_EQ(CountChildren(), 0);
}

// One reaper thread watches every handler: none is held per running handler, none is left a
// zombie, and no descriptor is leaked to a handler or kept after it ends.
TEST_F(OpenLinkTest, HoldsNoThreadZombieOrDescriptorPerHandler) {
    Open(u"open", u"http://site.test/first");  // starts the reaper, whose thread and descriptors stay
    ASSERT_TRUE(WaitFor(NoChildren));
    const int threadsBefore = CountEntries("/proc/self/task");
    const int descriptorsBefore = CountEntries("/proc/self/fd");

    // A descriptor this program holds without close-on-exec must not reach the handler.
    const int watched = open("/dev/null", O_RDONLY);
    setenv("QMZ_TEST_WATCHED_FD", std::to_string(watched).c_str(), 1);
    setenv("QMZ_TEST_HANDLER_SLEEP", "3", 1);
    constexpr int Opens = 50;
    for (int i = 0; i < Opens; ++i) {
        Open(u"open", u"http://site.test/" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)));
    }
    unsetenv("QMZ_TEST_HANDLER_SLEEP");
    unsetenv("QMZ_TEST_WATCHED_FD");
    const auto starts = WaitForStarts(Opens + 1);
    EXPECT_EQ(CountEntries("/proc/self/task"), threadsBefore) << "threads while " << Opens << " handlers sleep";
    close(watched);
    ASSERT_EQ(starts.size(), static_cast<std::size_t>(Opens + 1));
    for (const auto& start : starts) {
        EXPECT_FALSE(start.inheritedWatchedDescriptor);
    }
    EXPECT_TRUE(WaitFor(NoChildren)) << "a handler was never reaped";
    EXPECT_EQ(CountEntries("/proc/self/fd"), descriptorsBefore);
}

// Whatever this program ignores or blocks, the handler starts with every signal at its default,
// none blocked, in a session of its own, its standard streams on /dev/null.
TEST_F(OpenLinkTest, StartsTheHandlerInACleanState) {
    signal(SIGHUP, SIG_IGN);
    signal(SIGINT, SIG_IGN);
    sigset_t toBlock;
    sigemptyset(&toBlock);
    sigaddset(&toBlock, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &toBlock, nullptr);
    Open(u"open", u"http://site.test/");
    pthread_sigmask(SIG_UNBLOCK, &toBlock, nullptr);
    signal(SIGHUP, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    const auto starts = WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    // glibc's posix_spawn leaves its own two internal signals (32 and 33, which no program sends)
    // ignored in the child; glibc sets them up again in any program that uses them.
    char ignored[17] = {};
    ASSERT_EQ(std::sscanf(starts[0].processState.c_str(), "SigBlk:0000000000000000 SigIgn:%16s", ignored), 1)
        << starts[0].processState;
    EXPECT_EQ(std::stoull(ignored, nullptr, 16) & ~((1ULL << 31) | (1ULL << 32)), 0u) << ignored;
    EXPECT_TRUE(starts[0].processState.ends_with(" session:own streams:/dev/null /dev/null /dev/null ")) << starts[0].processState;
}

// xdg-open's "no method available" (3) and "action failed" (4) reach the user later; any other
// status does not. Each handler is reaped before the next starts, so the reports come in order.
TEST_F(OpenLinkTest, ReportsOnlyTheDesktopsOwnFailuresLater) {
    std::mutex mutex;
    std::vector<std::string> reports;
    const FailureReport report = [&](std::string message) {
        const std::lock_guard lock(mutex);
        reports.push_back(std::move(message));
    };
    for (const char* status : {"0", "4", "1", "3"}) {
        setenv("QMZ_TEST_HANDLER_STATUS", status, 1);
        Open(u"open", u"http://www.site.test", fs::temp_directory_path(), report);
        ASSERT_TRUE(WaitFor(NoChildren));
    }
    unsetenv("QMZ_TEST_HANDLER_STATUS");
    ASSERT_TRUE(WaitFor([&] { const std::lock_guard lock(mutex); return reports.size() >= 2; }));
    const std::lock_guard lock(mutex);
    ASSERT_EQ(reports.size(), 2u);
    for (const auto& [message, status] : {std::pair{reports[0], "4"}, std::pair{reports[1], "3"}}) {
        EXPECT_TRUE(message.starts_with("No program to open web links is set up")) << message;
        EXPECT_TRUE(message.ends_with(std::string("(exit status ") + status + ").")) << message;
    }
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
