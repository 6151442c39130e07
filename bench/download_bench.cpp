// Download in the real window (offscreen), through the real LinkHandoff, to the recording stand-in
// handler: the time from the click until the handler has started and recorded itself, how long the
// click holds the window, and how fast Get Link answers while that handler still sleeps.
//
// Each run also starts the same handler straight with posix_spawnp, so that the stand-in's own
// start-up (a shell that runs date and mv before its record appears) can be told from QMZ's part.
//
// Usage: download_bench RUNS HANDLER_FOLDER RECORDS_FOLDER
// HANDLER_FOLDER holds the stand-in xdg-open; RECORDS_FOLDER is where it records, empty at start.
// Prints one line per run:
// download_click_ms handler_started_ms get_link_ms handler_still_asleep(0/1) direct_start_ms
#include <sys/inotify.h>
#include <poll.h>
#include <spawn.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "link/link_constants.hpp"
#include "shell/open_link.hpp"
#include "qt/form.hpp"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Waits for the handler to move its record into place as NAME.started, and gives NAME.
std::string WaitForStartRecord(int watch, Clock::time_point deadline) {
    alignas(inotify_event) char events[4096];
    while (Clock::now() < deadline) {
        pollfd ready{watch, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) {
            continue;
        }
        const ssize_t size = read(watch, events, sizeof events);
        for (ssize_t at = 0; at < size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            const std::string name = event->len > 0 ? event->name : "";
            if (name.ends_with(".started")) {
                return name.substr(0, name.size() - 8);
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return {};
}

// Starts the handler the plainest way, for comparison, and gives the time until it has recorded.
double DirectStartMilliseconds(int watch, const std::string& link) {
    std::string program = "xdg-open";
    std::string argument = link;
    char* const arguments[] = {program.data(), argument.data(), nullptr};
    const Clock::time_point start = Clock::now();
    pid_t handler = 0;
    if (posix_spawnp(&handler, program.c_str(), nullptr, nullptr, arguments, environ) != 0 ||
        WaitForStartRecord(watch, start + std::chrono::seconds(20)).empty()) {
        return -1;
    }
    return MillisecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RUNS HANDLER_FOLDER RECORDS_FOLDER\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const std::filesystem::path records = argv[3];
    setenv("PATH", (std::string(argv[2]) + ":" + std::getenv("PATH")).c_str(), 1);
    setenv("QMZ_TEST_RECORDS", records.c_str(), 1);
    setenv("QMZ_TEST_HANDLER_SLEEP", "3", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication application(argc, argv);
    qmz::LinkHandoff handoff;
    qmz::QtForm form(qmz::MainForm(), std::bind_front(&qmz::LinkHandoff::Open, &handoff));
    form.show();
    auto* text1 = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* download = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    auto* getLink = form.findChild<QPushButton*>(QStringLiteral("Command2"));
    const QString pageLink = QString::fromStdU16String(qmz::Text(qmz::PageLinkPrefix) + u"ab12CD34");
    const QString mediaLink = QString::fromStdU16String(qmz::Text(qmz::MediaLinkPrefix) + u"ab/ab12CD34.flv");

    const int watch = inotify_init1(IN_CLOEXEC);
    inotify_add_watch(watch, records.c_str(), IN_MOVED_TO);
    for (int run = 0; run < runs; ++run) {
        text1->setText(pageLink);
        const Clock::time_point click = Clock::now();
        QTest::mouseClick(download, Qt::LeftButton);
        const double clickMs = MillisecondsSince(click);
        const std::string record = WaitForStartRecord(watch, click + std::chrono::seconds(20));
        const double startedMs = MillisecondsSince(click);
        if (record.empty()) {
            std::fprintf(stderr, "the handler did not start within 20 seconds\n");
            return 1;
        }
        const Clock::time_point ask = Clock::now();
        QTest::mouseClick(getLink, Qt::LeftButton);
        const double getLinkMs = MillisecondsSince(ask);
        if (text1->text() != mediaLink) {
            std::fprintf(stderr, "Get Link gave the wrong text\n");
            return 1;
        }
        const bool asleep = !std::filesystem::exists(records / (record + ".finished"));
        const double directMs = DirectStartMilliseconds(watch, mediaLink.toStdString());
        std::printf("%.3f %.3f %.3f %d %.3f\n", clickMs, startedMs, getLinkMs, asleep ? 1 : 0, directMs);
        std::fflush(stdout);
    }
    return 0;
}
