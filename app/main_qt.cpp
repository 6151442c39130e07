#include <QApplication>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/app_id.hpp"
#include "app/command_line_qt.hpp"
#include "app/exit_deadline.hpp"
#include "base/standard_streams_posix.hpp"
#include "qt/form.hpp"
#include "resources/version.hpp"
#include "shell/open_link.hpp"

namespace {

constexpr int ExitTrouble = 2;  // as for a usage error, and as qmz-link's failed output
constexpr int ExitNoDisplay = 1;

// Qt's messages while QApplication opens its platform, written as Qt writes them, as they come.
// Qt's fatal one comes when it can open no platform (its display cannot be reached or none is
// named, a plugin is missing), and would end the program with an abort and advice to reinstall;
// the lines before it say what Qt tried. It ends qmz with a line of its own instead.
void EndWithoutWindowOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs("qmz: no display could be opened: no window can be shown\n", stderr);
        std::_Exit(ExitNoDisplay);
    }
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
}

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
    qInstallMessageHandler(EndWithoutWindowOnFatal);
    QApplication application(argc, argv);
    qInstallMessageHandler(nullptr);
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
