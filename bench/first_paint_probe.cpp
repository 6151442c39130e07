// Times programs from their start to the first drawing into their mapped window, and gives their
// peak memory by then, on the X server named by DISPLAY.
//
// Usage: first_paint_probe ROUNDS NAME=PROGRAM [NAME=PROGRAM...]
// Each round starts every program once, one after the other, the order rotating from round to round
// so that no program always runs first; a round 0 before them warms the caches and is not reported.
// Prints one line per run: NAME MILLISECONDS MAX_RSS_KIB.
//
// The moment of the first paint is the server's own account: the probe asks the DAMAGE extension
// for every drawing on the root window and its children, and the first drawing inside a mapped
// top-level window is the first paint. That is the moment its pixels are on the screen, whatever
// the toolkit does before or after. The program is then killed and reaped; its rusage gives the
// peak resident memory up to then.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Program {
    std::string name;
    std::string path;
};

struct Run {
    double milliseconds;
    long maxRssKib;
};

double NowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

class Probe {
public:
    Probe() : display_(XOpenDisplay(nullptr)) {
        if (display_ == nullptr) {
            throw std::runtime_error("cannot open the display");
        }
        int error = 0;
        if (!XDamageQueryExtension(display_, &damageEvent_, &error)) {
            throw std::runtime_error("the X server has no DAMAGE extension");
        }
        root_ = DefaultRootWindow(display_);
        XSelectInput(display_, root_, SubstructureNotifyMask);
        damage_ = XDamageCreate(display_, root_, XDamageReportRawRectangles);
        XSync(display_, False);
    }
    ~Probe() {
        XDamageDestroy(display_, damage_);
        XCloseDisplay(display_);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    std::optional<Run> Measure(const Program& program) {
        Settle();
        std::vector<char*> arguments{const_cast<char*>(program.path.c_str()), nullptr};
        const double start = NowMilliseconds();
        pid_t child = 0;
        if (posix_spawn(&child, program.path.c_str(), nullptr, nullptr, arguments.data(), environ) != 0) {
            throw std::runtime_error("cannot start " + program.path);
        }
        const std::optional<double> painted = WaitForFirstPaint(start + 30'000);
        kill(child, SIGKILL);
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (!painted) {
            return std::nullopt;
        }
        return Run{*painted - start, usage.ru_maxrss};
    }

private:
    // Lets the server finish with the last program's window (unmapping it repaints the root) and
    // forgets everything seen so far.
    void Settle() {
        XSync(display_, False);
        XEvent event;
        while (XPending(display_) > 0) {
            XNextEvent(display_, &event);
        }
        XDamageSubtract(display_, damage_, None, None);
        XSync(display_, False);
        while (XPending(display_) > 0) {
            XNextEvent(display_, &event);
        }
        windows_.clear();
    }

    std::optional<double> WaitForFirstPaint(double deadline) {
        for (;;) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (IsFirstPaint(event)) {
                    return NowMilliseconds();
                }
            }
            const double left = deadline - NowMilliseconds();
            if (left <= 0) {
                return std::nullopt;
            }
            pollfd connection{ConnectionNumber(display_), POLLIN, 0};
            poll(&connection, 1, static_cast<int>(left) + 1);
        }
    }

    bool IsFirstPaint(const XEvent& event) {
        switch (event.type) {
            case CreateNotify:
                windows_[event.xcreatewindow.window] = {event.xcreatewindow.x, event.xcreatewindow.y,
                                                        event.xcreatewindow.width, event.xcreatewindow.height, false};
                return false;
            case ConfigureNotify: {
                Window& window = windows_[event.xconfigure.window];
                window.x = event.xconfigure.x, window.y = event.xconfigure.y;
                window.width = event.xconfigure.width, window.height = event.xconfigure.height;
                return false;
            }
            case MapNotify:
                windows_[event.xmap.window].mapped = true;
                return false;
            case UnmapNotify:
                windows_[event.xunmap.window].mapped = false;
                return false;
            default:
                break;
        }
        if (event.type != damageEvent_ + XDamageNotify) {
            return false;
        }
        const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
        for (const auto& [id, window] : windows_) {
            if (window.mapped && damage.area.x < window.x + window.width && window.x < damage.area.x + damage.area.width &&
                damage.area.y < window.y + window.height && window.y < damage.area.y + damage.area.height) {
                return true;
            }
        }
        return false;
    }

    struct Window {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool mapped = false;
    };

    Display* display_;
    ::Window root_ = 0;
    Damage damage_ = 0;
    int damageEvent_ = 0;
    std::map<::Window, Window> windows_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROUNDS NAME=PROGRAM [NAME=PROGRAM...]\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos) {
            std::fprintf(stderr, "not NAME=PROGRAM: %s\n", argv[i]);
            return 2;
        }
        programs.push_back({argument.substr(0, equals), argument.substr(equals + 1)});
    }
    try {
        Probe probe;
        for (int round = 0; round <= rounds; ++round) {
            for (std::size_t k = 0; k < programs.size(); ++k) {
                const Program& program = programs[(k + static_cast<std::size_t>(round)) % programs.size()];
                const std::optional<Run> run = probe.Measure(program);
                if (!run) {
                    std::fprintf(stderr, "%s drew no window within 30 seconds\n", program.name.c_str());
                    return 1;
                }
                if (round > 0) {
                    std::printf("%s %.3f %ld\n", program.name.c_str(), run->milliseconds, run->maxRssKib);
                    std::fflush(stdout);
                }
            }
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "first_paint_probe: %s\n", failure.what());
        return 1;
    }
    return 0;
}
