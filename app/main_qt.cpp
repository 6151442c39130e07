#include <QApplication>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>

#include "app/app_id.hpp"
#include "app/command_line_qt.hpp"
#include "app/display_check_qt.hpp"
#include "app/exit_deadline.hpp"
#include "base/standard_streams_posix.hpp"
#include "qt/form.hpp"
#include "resources/version.hpp"
#include "shell/open_link.hpp"

namespace {

constexpr int ExitTrouble = 2;  // as for a usage error, and as qmz-link's failed output

}  // namespace

int main(int argc, char** argv) {
    qmz::FillClosedStandardStreams();
    const qmz::WindowStart start = qmz::ReadCommandLine(argc, argv);
    if (start.exitStatus) {
        // A help or version text that cannot be written (a full disk, a closed output) is trouble.
        if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
            std::fprintf(stderr, "qmz: cannot write the output: %s\n", std::strerror(errno));
            return ExitTrouble;
        }
        return *start.exitStatus;
    }
    qmz::DisplayCheck display(start.platform.has_value());
    QApplication application(argc, argv);
    display.PlatformOpened();
    QApplication::setApplicationName(QStringLiteral("QMZ"));
    QApplication::setApplicationVersion(QStringLiteral(QMZ_VERSION_TEXT));
    // Lets a Wayland compositor and the X11 desktop match the window with its launcher entry and icon.
    QApplication::setDesktopFileName(QStringLiteral(QMZ_APP_ID));

    // Made after the application and so ended before it: no late report outlives the event loop.
    qmz::LinkHandoff handoff;
    qmz::QtForm form(qmz::MainForm(), std::bind_front(&qmz::LinkHandoff::Open, &handoff));
    form.show();
    const int status = QApplication::exec();
    // Works around Qt 6.4's Wayland client (Debian 12's libqt6waylandclient6 6.4.2), which now and
    // then deadlocks while it stops its event threads, in the destructors below: a loaded machine
    // makes it likely, and the window is already gone by then. Can go once the oldest Qt that QMZ
    // builds with tears its Wayland connection down without hanging.
    qmz::EndProcessAfter(std::chrono::seconds(5), status);
    return status;
}
