#pragma once

#include <optional>
#include <string>

struct xcb_connection_t;

namespace qmz {

// Tries, before QApplication, the displays Qt would try for the platform given (-platform, else
// QT_QPA_PLATFORM, else Qt's choice of X11 and Wayland). When none opens it prints one line that
// names them and the variables they come from, and gives the exit status 1: Qt itself would abort
// and send the user to reinstall. A platform without a display (offscreen and the like) passes,
// and Qt reports its failures itself.
// An X display that opens stays open while the check lives, until Qt has its own connection: a
// bare X server (Xvfb, say) resets when its last client leaves, and refuses clients meanwhile.
class DisplayCheck {
public:
    DisplayCheck(const std::optional<std::string>& platform, const std::optional<std::string>& display);
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    // 1 when no display opens, nothing when one does.
    std::optional<int> ExitStatus() const { return exitStatus_; }

private:
    xcb_connection_t* x_ = nullptr;
    std::optional<int> exitStatus_;
};

}  // namespace qmz
