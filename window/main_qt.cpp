#include <QApplication>

#include <chrono>

#include "desktop/app_id.hpp"
#include "resources/version.hpp"
#include "shell/open_link.hpp"
#include "window/command_line_qt.hpp"
#include "window/display_check_qt.hpp"
#include "window/exit_deadline.hpp"
#include "window/form_qt.hpp"

int main(int argc, char** argv) {
    const qmz::WindowStart start = qmz::ReadCommandLine(argc, argv);
    if (start.exitStatus) {
        return *start.exitStatus;
    }
    const qmz::DisplayCheck display(start.platform, start.display);
    if (display.ExitStatus()) {
        return *display.ExitStatus();
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QMZ"));
    QApplication::setApplicationVersion(QStringLiteral(QMZ_VERSION_TEXT));
    // Lets a Wayland compositor and the X11 desktop match the window with its launcher entry and icon.
    QApplication::setDesktopFileName(QStringLiteral(QMZ_APP_ID));

    qmz::QtForm form(qmz::MainForm(), qmz::OpenLink);
    form.show();
    const int status = QApplication::exec();
    // Qt 6.4's Wayland client now and then deadlocks while it stops its event threads, in the
    // destructors below; a loaded machine makes it likely. The window is already gone by then.
    qmz::EndProcessAfter(std::chrono::seconds(5), status);
    return status;
}
