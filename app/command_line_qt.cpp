#include "app/command_line_qt.hpp"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

#include "resources/version.hpp"

namespace qmz {
namespace {

constexpr int ExitUsageError = 2;

// The options QGuiApplication, QApplication and Qt's X11 platform take off the command line
// themselves, as their documentation lists them; hidden from --help, which is about qmz.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption QtOptions[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"geometry", true}, {"qwindowicon", true}, {"icon", true},
    {"qwindowtitle", true}, {"title", true}, {"session", true}, {"display", true},
    {"name", true}, {"visual", true}, {"style", true}, {"stylesheet", true},
    {"reverse", false}, {"widgetcount", false}, {"nograb", false}, {"dograb", false},
};

// The --help text is also the manual page (help2man), so it says all a user needs.
constexpr const char* Description =
    "Opens the QMZ window, which turns the address of a video's page into the direct\n"
    "address of its video file. Paste a page link into the box: Get Link replaces it\n"
    "with the media link, ready to copy; Download opens the media link in the web\n"
    "browser. Anything that is not a page link is refused.";
constexpr const char* Epilogue =
    "\n"
    "The window opens on the display Qt chooses: the X display that DISPLAY names,\n"
    "the Wayland display that WAYLAND_DISPLAY names, or the platform that\n"
    "QT_QPA_PLATFORM asks for. Qt's own options, such as -platform, -display, -style\n"
    "and -session, are passed on to Qt.\n"
    "\n"
    "Exit status: 0 when the window is closed, 1 when no display can be opened (a\n"
    "line on standard error says so, after Qt's own words on what it tried), 2 for\n"
    "an unknown option or an argument, or when this help or the version cannot be\n"
    "written.\n";

WindowStart EndWith(int status) {
    WindowStart start;
    start.exitStatus = status;
    return start;
}

}  // namespace

WindowStart ReadCommandLine(int& argc, char** argv) {
    // Started without arguments, as from a launcher: nothing to read, and nothing spent on it.
    if (argc <= 1) {
        return {};
    }
    // The parser takes the arguments as QCoreApplication decodes them; no display is needed.
    const QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromUtf8(Description));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    for (const QtOption& qtOption : QtOptions) {
        QCommandLineOption option(QString::fromLatin1(qtOption.name), QString(),
                                  qtOption.takesValue ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        const QString problem = parsed ? QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first())
                                       : parser.errorText();
        std::fprintf(stderr, "qmz: %s\nTry 'qmz --help' for more information.\n", problem.toLocal8Bit().constData());
        return EndWith(ExitUsageError);
    }
    if (parser.isSet(help)) {
        std::fputs((parser.helpText() + QString::fromUtf8(Epilogue)).toLocal8Bit().constData(), stdout);
        return EndWith(0);
    }
    if (parser.isSet(version)) {
        std::fputs("qmz " QMZ_VERSION_TEXT "\n" QMZ_VERSION_NOTICE, stdout);
        return EndWith(0);
    }
    return {};
}

}  // namespace qmz
