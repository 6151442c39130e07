#include "app/display_check_qt.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace qmz {
namespace {

constexpr int ExitNoDisplay = 1;

// A name as the message quotes it: a control character would break its one line.
std::string Quoted(std::string_view name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    return quoted + "\"";
}

// With the handshake and authorisation that Qt's X11 platform goes through next. An open
// connection is kept in held.
bool XDisplayOpens(const char* name, xcb_connection_t*& held) {
    xcb_connection_t* const connection = xcb_connect(name, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return false;
    }
    held = connection;
    return true;
}

// libwayland's rule: a name that is not absolute is a socket in XDG_RUNTIME_DIR.
bool WaylandDisplayOpens(std::string_view name) {
    const char* const runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!name.starts_with('/') && runtime == nullptr) {
        return false;
    }
    const std::string path = name.starts_with('/') ? std::string(name) : std::string(runtime) + "/" + std::string(name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool opens = socket >= 0 && connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (socket >= 0) {
        close(socket);
    }
    return opens;
}

// Each gives nothing when its display opens, otherwise how the message names it.
std::optional<std::string> XProblem(const std::optional<std::string>& displayOption, xcb_connection_t*& held) {
    const char* const name = displayOption ? displayOption->c_str() : std::getenv("DISPLAY");
    if (name == nullptr) {
        return "an X display (DISPLAY is not set)";
    }
    if (XDisplayOpens(name, held)) {
        return std::nullopt;
    }
    return "the X display " + Quoted(name) + (displayOption ? " (-display)" : " (DISPLAY)");
}

std::optional<std::string> WaylandProblem(bool triedWithoutName) {
    // A connection handed over by whoever started qmz cannot be tried without being used up.
    if (std::getenv("WAYLAND_SOCKET") != nullptr) {
        return std::nullopt;
    }
    const char* const name = std::getenv("WAYLAND_DISPLAY");
    if (name == nullptr && !triedWithoutName) {
        return "a Wayland display (WAYLAND_DISPLAY is not set)";
    }
    if (WaylandDisplayOpens(name != nullptr ? name : "wayland-0")) {
        return std::nullopt;
    }
    return name != nullptr ? "the Wayland display " + Quoted(name) + " (WAYLAND_DISPLAY)"
                           : std::string("the Wayland display \"wayland-0\" (WAYLAND_DISPLAY is not set)");
}

}  // namespace

DisplayCheck::DisplayCheck(const std::optional<std::string>& platform, const std::optional<std::string>& display) {
    const char* const platformVariable = std::getenv("QT_QPA_PLATFORM");
    const std::string_view chosen = platform ? std::string_view(*platform)
                                             : platformVariable != nullptr ? platformVariable : "";
    std::string unopened;
    const auto add = [&unopened](const std::string& problem) {
        unopened += (unopened.empty() ? "" : " nor ") + problem;
    };
    if (chosen.empty()) {
        // Qt 6's own choice: X11, and Wayland too where WAYLAND_DISPLAY or the session names it.
        const std::optional<std::string> x = XProblem(display, x_);
        if (!x) {
            return;
        }
        const char* const session = std::getenv("XDG_SESSION_TYPE");
        const std::optional<std::string> wayland = WaylandProblem(session != nullptr && std::string_view(session) == "wayland");
        if (!wayland) {
            return;
        }
        add(*x);
        add(*wayland);
    } else {
        // A list that Qt tries in turn ("wayland;xcb"), each name perhaps with arguments ("xcb:...").
        for (std::string_view rest = chosen; !rest.empty();) {
            const std::string_view entry = rest.substr(0, rest.find(';'));
            rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
            const std::string_view name = entry.substr(0, entry.find(':'));
            const std::optional<std::string> problem = name == "xcb"                 ? XProblem(display, x_)
                                                       : name.starts_with("wayland") ? WaylandProblem(true)
                                                                                     : std::nullopt;
            if (!problem) {
                return;
            }
            add(*problem);
        }
    }
    if (!unopened.empty()) {
        std::fprintf(stderr, "qmz: cannot open %s: no window can be shown\n", unopened.c_str());
        exitStatus_ = ExitNoDisplay;
    }
}

DisplayCheck::~DisplayCheck() {
    if (x_ != nullptr) {
        xcb_disconnect(x_);
    }
}

}  // namespace qmz
