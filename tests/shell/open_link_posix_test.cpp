#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "link/utf8.hpp"
#include "base/runtime_failure.hpp"
#include "shell/open_link.hpp"
#include "tests/support/stand_in_handler.hpp"

namespace qmz {
namespace {

using testing_support::StandInHandler;

const std::filesystem::path Folder = std::filesystem::temp_directory_path();

// Children of this process that have ended but were never reaped.
int CountZombieChildren() {
    int zombies = 0;
    const std::string parent = "PPid:\t" + std::to_string(getpid());
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream status(entry.path() / "status");
        std::string line;
        bool isZombie = false;
        bool isChild = false;
        while (std::getline(status, line)) {
            isZombie = isZombie || line.starts_with("State:\tZ");
            isChild = isChild || line == parent;
        }
        zombies += (isZombie && isChild) ? 1 : 0;
    }
    return zombies;
}

int CountOpenDescriptors() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                          std::filesystem::directory_iterator()));
}

TEST(OpenLink, HandsTheLinkUnchangedAsTheHandlersOnlyArgumentInTheFolder) {
    const StandInHandler handler;
    const auto folder = handler.Folder() / "a folder with spaces";
    std::filesystem::create_directory(folder);
    const std::u16string links[] = {
        u"http://media.site.test/s/ab/ab12CD34.flv",
        u"http://media.site.test/s/a /a b\"c'd.flv",
        u"http://x/;touch pwned;$(touch pwned)`touch pwned`|&>x<y*?[a]{b}\\",
        u"http://x/\u00e9\u4e2d\U0001F600\u200F.flv",
        u"-not-an-option",
        u"",
    };
    for (const auto& link : links) {
        OpenLink(0, u"open", link, folder);
    }
    // Handlers run side by side, so they may record in any order.
    std::multiset<std::string> sent;
    for (const auto& link : links) {
        sent.insert(ToUtf8(link));
    }
    std::multiset<std::string> received;
    for (const auto& start : handler.WaitForStarts(std::size(links))) {
        ASSERT_EQ(start.arguments.size(), 1u);
        received.insert(start.arguments[0]);
        EXPECT_EQ(start.workingFolder, folder.string());
    }
    EXPECT_EQ(received, sent);
    EXPECT_FALSE(std::filesystem::exists(folder / "pwned"));
}

TEST(OpenLink, TakesTheOpenVerbInAnyLetterCaseAndNoOtherVerb) {
    const StandInHandler handler;
    for (const auto* verb : {u"open", u"OPEN", u"oPeN"}) {
        OpenLink(0, verb, u"http://site.test/", Folder);
    }
    for (const auto* verb : {u"edit", u"print", u"", u"opens", u"runas"}) {
        OpenLink(0, verb, u"http://site.test/", Folder);
    }
    // Only the three open verbs started a handler; the rest were refused on the spot.
    OpenLink(0, u"open", u"http://last.test/", Folder);
    // Waiting for all nine gives any wrongly started handler time to show up.
    const auto starts = handler.WaitForStarts(9, std::chrono::seconds(2));
    EXPECT_EQ(starts.size(), 4u);
}

TEST(OpenLink, FailsWhenNoHandlerCanBeStarted) {
    const StandInHandler noHandler(StandInHandler::Installed::No);
    EXPECT_THROW(OpenLink(0, u"open", u"http://site.test/", Folder), RuntimeFailure);

    // A handler that is there but may not be run is no better.
    const auto handlerFile = noHandler.Folder() / "bin" / "xdg-open";
    std::ofstream(handlerFile) << "#!/bin/sh\n";
    std::filesystem::permissions(handlerFile, std::filesystem::perms::owner_read);
    EXPECT_THROW(OpenLink(0, u"open", u"http://site.test/", Folder), RuntimeFailure);
}

TEST(OpenLink, RefusesALinkThatAnArgumentCannotCarryWhole) {
    const StandInHandler handler;
    EXPECT_THROW(OpenLink(0, u"open", std::u16string(u"http://site.test/\0tail", 22), Folder), RuntimeFailure);
    OpenLink(0, u"open", u"http://after.test/", Folder);
    const auto starts = handler.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].arguments.at(0), "http://after.test/");
}

TEST(OpenLink, ReturnsWithoutWaitingForTheHandler) {
    const StandInHandler handler;
    setenv("QMZ_TEST_HANDLER_SLEEP", "10", 1);
    OpenLink(0, u"open", u"http://site.test/", Folder);
    unsetenv("QMZ_TEST_HANDLER_SLEEP");
    const auto starts = handler.WaitForStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    // OpenLink has returned while the handler is still sleeping.
    EXPECT_FALSE(handler.Finished(starts[0]));
}

TEST(OpenLink, LeavesNoZombieAndNoDescriptorBehind) {
    const StandInHandler handler;
    // A descriptor this program holds without close-on-exec must not reach the handler.
    const int watched = open("/dev/null", O_RDONLY);
    ASSERT_GE(watched, 0);
    setenv("QMZ_TEST_WATCHED_FD", std::to_string(watched).c_str(), 1);

    const int descriptorsBefore = CountOpenDescriptors();
    constexpr int Opens = 40;
    for (int i = 0; i < Opens; ++i) {
        OpenLink(0, u"open", u"http://site.test/" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)), Folder);
    }
    const auto starts = handler.WaitForStarts(Opens);
    unsetenv("QMZ_TEST_WATCHED_FD");
    close(watched);
    ASSERT_EQ(starts.size(), static_cast<std::size_t>(Opens));
    for (const auto& start : starts) {
        EXPECT_FALSE(start.inheritedWatchedDescriptor);
    }

    // Each handler is reaped as soon as it ends; give the last ones time to end.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (CountZombieChildren() > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(CountZombieChildren(), 0);
    EXPECT_EQ(CountOpenDescriptors(), descriptorsBefore - 1);
}

}  // namespace
}  // namespace qmz
