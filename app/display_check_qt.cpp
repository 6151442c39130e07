#include "app/display_check_qt.hpp"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace qmz {
namespace {

constexpr int ExitNoDisplay = 1;
constexpr unsigned StartDeadlineSeconds = 30;

// What Qt's X11 platform says before it gives up on a display; the rest of the line names it.
constexpr std::string_view XConnectFailure = "could not connect to display ";

// Qt takes one plain function as its message handler, which finds the check that is watching only
// through this: set while a check watches, and only then.
std::atomic<DisplayCheck*> watching = nullptr;

// A name as the message quotes it: a control character would break its one line.
std::string Quoted(std::string_view name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    return quoted + "\"";
}

// The X display that Qt named (else DISPLAY's), and where it comes from.
std::string XDisplay(const std::optional<std::string>& named) {
    const char* const variable = std::getenv("DISPLAY");
    const std::string name = named ? *named : variable != nullptr ? variable : "";
    if (name.empty() && variable == nullptr) {
        return "an X display (DISPLAY is not set)";
    }
    return "the X display " + Quoted(name) + (variable != nullptr && name == variable ? " (DISPLAY)" : " (-display)");
}

// libwayland's rule: a connection handed over, else the display named, else "wayland-0".
std::string WaylandDisplay() {
    if (const char* const socket = std::getenv("WAYLAND_SOCKET")) {
        return "the Wayland connection " + Quoted(socket) + " (WAYLAND_SOCKET)";
    }
    if (const char* const name = std::getenv("WAYLAND_DISPLAY")) {
        return "the Wayland display " + Quoted(name) + " (WAYLAND_DISPLAY)";
    }
    return "the Wayland display \"wayland-0\" (WAYLAND_DISPLAY is not set)";
}

bool IsWayland(std::string_view platform) {
    return platform.starts_with("wayland");
}

void EndWithoutAnswer(int /*signal*/) {
    constexpr char Message[] = "qmz: no display answered within 30 seconds: no window can be shown\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, Message, sizeof Message - 1);
    _exit(ExitNoDisplay);
}

}  // namespace

DisplayCheck::DisplayCheck(bool platformAsked) : platformAsked_(platformAsked) {
    struct sigaction deadline {};
    deadline.sa_handler = EndWithoutAnswer;
    sigaction(SIGALRM, &deadline, &alarmAction_);
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    pthread_sigmask(SIG_UNBLOCK, &alarm, &signalMask_);
    ::alarm(StartDeadlineSeconds);
    watching = this;
    qtHandler_ = qInstallMessageHandler(Hear);
}

DisplayCheck::~DisplayCheck() {
    PlatformOpened();
}

void DisplayCheck::PlatformOpened() {
    if (watching != this) {
        return;
    }
    qInstallMessageHandler(qtHandler_);
    watching = nullptr;
    alarm(0);
    sigaction(SIGALRM, &alarmAction_, nullptr);
    pthread_sigmask(SIG_SETMASK, &signalMask_, nullptr);
    std::vector<HeldMessage> held;
    {
        const std::lock_guard lock(mutex_);
        held.swap(held_);
    }
    for (const HeldMessage& message : held) {
        qtHandler_(message.type, QMessageLogContext(message.file, message.line, message.function, message.category), message.text);
    }
}

void DisplayCheck::Hear(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    DisplayCheck* const check = watching;
    if (check == nullptr) {
        return;  // said as the watch ended: too late to be held, too early for Qt's own handler
    }
    const std::lock_guard lock(check->mutex_);
    // Qt's last word before it aborts, when no platform opens.
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "qmz: cannot open %s: no window can be shown\n", check->Unopened().c_str());
        std::_Exit(ExitNoDisplay);
    }
    const std::string said = text.toStdString();
    const std::string_view category = context.category != nullptr ? context.category : "";
    // "Could not load the Qt platform plugin "xcb" ..." or "Could not find ...", one for each
    // platform Qt tries and cannot open.
    const std::size_t open = said.find('"');
    const std::size_t close = open == std::string::npos ? open : said.find('"', open + 1);
    if (category == "qt.qpa.plugin" && close != std::string::npos) {
        check->unopened_.push_back(said.substr(open + 1, close - open - 1));
    }
    if (category == "qt.qpa.xcb" && said.starts_with(XConnectFailure)) {
        check->xDisplay_ = said.substr(XConnectFailure.size());
    }
    check->held_.push_back({type, context.file, context.line, context.function, context.category, text});
}

std::string DisplayCheck::Unopened() const {
    std::vector<std::string> names;
    const auto add = [&names](const std::string& name) {
        if (std::ranges::find(names, name) == names.end()) {
            names.push_back(name);
        }
    };
    for (const std::string& platform : unopened_) {
        add(platform == "xcb" ? XDisplay(xDisplay_) : IsWayland(platform) ? WaylandDisplay() : "the platform " + Quoted(platform));
    }
    // Qt's own choice tries Wayland only where WAYLAND_DISPLAY or the session names it: say so.
    const char* const platformVariable = std::getenv("QT_QPA_PLATFORM");
    const bool qtsOwnChoice = !platformAsked_ && (platformVariable == nullptr || *platformVariable == '\0');
    if (qtsOwnChoice && std::getenv("WAYLAND_DISPLAY") == nullptr && std::ranges::none_of(unopened_, IsWayland)) {
        add("a Wayland display (WAYLAND_DISPLAY is not set)");
    }
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : " nor ") + name;
    }
    return joined.empty() ? "a display" : joined;
}

}  // namespace qmz
