#include "shell/open_link_linux.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "base/runtime_failure.hpp"
#include "base/utf8.hpp"
#include "shell/open_link.hpp"

extern char** environ;

namespace qmz {
namespace {

// xdg-open's documented exit statuses for a desktop that cannot open the link: no tool for it
// (3) and a failed action (4). Any other status is the handler's own business.
constexpr int NoToolFound = 3;
constexpr int ActionFailed = 4;

// The Windows shell takes verbs in any letter case; "open" is the only one this desktop knows.
bool IsOpenVerb(std::u16string_view verb) {
    constexpr std::u16string_view open = u"open";
    if (verb.size() != open.size()) {
        return false;
    }
    for (std::size_t i = 0; i < verb.size(); ++i) {
        const char16_t lower = (verb[i] >= u'A' && verb[i] <= u'Z') ? static_cast<char16_t>(verb[i] - u'A' + u'a') : verb[i];
        if (lower != open[i]) {
            return false;
        }
    }
    return true;
}

// A step of the handler's clean start that the system refuses (for want of memory) stops the start:
// the handler would get our descriptors or signal state.
void Check(int error) {
    if (error != 0) {
        throw RuntimeFailure("No program to open web links could be started: the system refuses to set up its start (" +
                             std::generic_category().message(error) + ").");
    }
}

// RAII for a spawn attribute or file action object: destroyed on every path, and only once made.
template <typename Object, int (*Init)(Object*), int (*Destroy)(Object*)>
class SpawnObject {
public:
    SpawnObject() { Check(Init(&object_)); }
    ~SpawnObject() { Destroy(&object_); }
    SpawnObject(const SpawnObject&) = delete;
    SpawnObject& operator=(const SpawnObject&) = delete;
    Object* get() { return &object_; }

private:
    Object object_;
};

// The handler may outlive this program (xdg-open can live as long as the browser): it gets its own
// session, none of our standard streams or other descriptors, every signal at its default
// disposition (a program started with SIGHUP ignored must not pass that on to the browser) and no
// signal blocked; glibc's posix_spawn keeps its own two internal signals (32 and 33) ignored.
struct SpawnSetup {
    explicit SpawnSetup(const char* folder) {
        Check(posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0));
        Check(posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0));
        Check(posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, "/dev/null", O_WRONLY, 0));
        Check(posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1));
        Check(posix_spawn_file_actions_addchdir_np(actions.get(), folder));
        sigset_t signals;
        sigemptyset(&signals);
        Check(posix_spawnattr_setsigmask(attributes.get(), &signals));
        sigfillset(&signals);
        Check(posix_spawnattr_setsigdefault(attributes.get(), &signals));
        Check(posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));
    }

    SpawnObject<posix_spawn_file_actions_t, posix_spawn_file_actions_init, posix_spawn_file_actions_destroy> actions;
    SpawnObject<posix_spawnattr_t, posix_spawnattr_init, posix_spawnattr_destroy> attributes;
};

// The handler's working folder: the program's folder where it exists, the user's home folder
// where it has gone (moved or removed while QMZ runs), the root where HOME names no folder either.
const char* WorkingFolder(const NativePath& programFolder) {
    const auto isFolder = [](const char* path) {
        struct stat status {};
        return path != nullptr && stat(path, &status) == 0 && S_ISDIR(status.st_mode);
    };
    if (isFolder(programFolder.c_str())) {
        return programFolder.c_str();
    }
    const char* const home = std::getenv("HOME");
    return isFolder(home) ? home : "/";
}

}  // namespace

void OpenLinkWith(HandlerReaper& reaper, std::u16string_view verb, std::u16string_view target,
                  const NativePath& folder, const FailureReport& onLateFailure) {
    if (!IsOpenVerb(verb)) {
        return;  // As the Windows shell does with a verb it does not know: nothing is opened.
    }
    // An argument ends at its first NUL, and half a character has no UTF-8 form: either way the
    // handler would get a different link.
    std::optional<std::string> utf8 = ToUtf8(target);
    if (!utf8 || utf8->find('\0') != std::string::npos) {
        throw RuntimeFailure("The link holds a NUL or half a character and cannot be handed to " + std::string(DefaultHandler) + ".");
    }
    std::string link = std::move(*utf8);

    // Everything that may fail for want of memory or a thread is done before the handler starts.
    HandlerReaper::Ticket ticket = reaper.Prepare([onLateFailure, link](int exitStatus) {
        if (onLateFailure && (exitStatus == NoToolFound || exitStatus == ActionFailed)) {
            onLateFailure("No program to open web links is set up: " + std::string(DefaultHandler) + " could not open " +
                          link + " (exit status " + std::to_string(exitStatus) + ").");
        }
    });
    const char* const workingFolder = WorkingFolder(folder);
    SpawnSetup setup(workingFolder);
    std::string program = DefaultHandler;
    char* const arguments[] = {program.data(), link.data(), nullptr};
    pid_t handler = 0;
    const int error = posix_spawnp(&handler, DefaultHandler, setup.actions.get(), setup.attributes.get(), arguments, environ);
    if (error != 0) {
        throw RuntimeFailure("No program to open web links could be started: " + std::string(DefaultHandler) + " (to run in the folder " +
                             workingFolder + "): " + std::generic_category().message(error) + ".");
    }
    reaper.Watch(std::move(ticket), handler);
}

struct LinkHandoff::Platform {
    HandlerReaper reaper;
};

LinkHandoff::LinkHandoff() : platform_(std::make_unique<Platform>()) {}
LinkHandoff::~LinkHandoff() = default;

void LinkHandoff::Open(WindowHandle /*owner: xdg-open shows no window of its own*/, std::u16string_view verb,
                       std::u16string_view target, const NativePath& folder, const FailureReport& onLateFailure) {
    OpenLinkWith(platform_->reaper, verb, target, folder, onLateFailure);
}

}  // namespace qmz
