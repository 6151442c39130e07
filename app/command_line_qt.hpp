#pragma once

#include <optional>

namespace qmz {

// What qmz's command line asks before any window exists.
struct WindowStart {
    std::optional<int> exitStatus;  // set when qmz ends here: help, version or a usage error
};

// Reads the command line with Qt's parser before QApplication, which needs a display, so that
// --help and --version answer anywhere and a wrong option opens nothing. Prints what it answers.
// Qt's own options (-platform, -display, -style, -session and the like) pass, for QApplication.
WindowStart ReadCommandLine(int& argc, char** argv);

}  // namespace qmz
