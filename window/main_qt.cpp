#include <QApplication>

#include "resources/version.hpp"
#include "shell/open_link.hpp"
#include "window/form_qt.hpp"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QMZ"));
    QApplication::setApplicationVersion(QStringLiteral(QMZ_VERSION_TEXT));

    qmz::QtForm form(qmz::MainForm(), qmz::OpenLink);
    form.show();
    return QApplication::exec();
}
