#pragma once

#include <optional>
#include <string>

namespace qmz {

// Tries, before QApplication, the displays Qt would try for the platform given (-platform, else
// QT_QPA_PLATFORM, else Qt's choice of X11 and Wayland). When none opens it prints one line that
// names them and the variables they come from, and gives the exit status 1: Qt itself would abort
// and send the user to reinstall. Gives nothing when one opens, and for a platform without a
// display (offscreen and the like), whose failures Qt reports itself.
std::optional<int> ReportMissingDisplay(const std::optional<std::string>& platform,
                                        const std::optional<std::string>& display);

}  // namespace qmz
