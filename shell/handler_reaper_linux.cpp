#include "shell/handler_reaper_linux.hpp"

#include <signal.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <new>
#include <string>
#include <system_error>
#include <utility>

#include "base/runtime_failure.hpp"

// Works around glibc 2.36 (Debian 12), whose <sys/pidfd.h> declares its functions without C
// linkage; glibc 2.37 has it right, and the wrapper can go once the oldest glibc built with does.
extern "C" {
#include <sys/pidfd.h>
}

namespace qmz {
namespace {

// A handler without a pidfd (the system refused one) is asked about this often instead.
constexpr int PollWithoutPidfdMilliseconds = 250;

int ExitStatusOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
}

[[noreturn]] void ThrowRefused(const char* what, int error) {
    throw RuntimeFailure(std::string("The link cannot be handed over: the system refuses ") + what + " (" +
                         std::generic_category().message(error) + ").");
}

// Blocks every signal on the calling thread while it lives: the thread's own mask comes back on
// every path.
class AllSignalsBlocked {
public:
    AllSignalsBlocked() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &previous_);
    }
    ~AllSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    AllSignalsBlocked(const AllSignalsBlocked&) = delete;
    AllSignalsBlocked& operator=(const AllSignalsBlocked&) = delete;

private:
    sigset_t previous_;
};

}  // namespace

HandlerReaper::HandlerReaper(ThreadStart startThread) : startThread_(std::move(startThread)) {}

HandlerReaper::~HandlerReaper() {
    if (thread_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        Wake();
        thread_.join();
    }
    // Handlers still running are left to run: they belong to the desktop now.
    for (const auto* list : {&watched_, &pending_}) {
        for (const auto& watched : *list) {
            if (watched.pidfd >= 0) {
                close(watched.pidfd);
            }
        }
    }
    for (const int descriptor : {epoll_, wakeup_}) {
        if (descriptor >= 0) {
            close(descriptor);
        }
    }
}

std::thread HandlerReaper::StartThread(std::function<void()> body) {
    return std::thread(std::move(body));
}

HandlerReaper::Ticket HandlerReaper::Prepare(ExitListener onExit) {
    Ticket ticket;
    try {
        ticket.entry_.push_back({0, -1, std::move(onExit)});
    } catch (const std::bad_alloc&) {
        ThrowRefused("memory", ENOMEM);
    }
    if (thread_.joinable()) {
        return ticket;
    }
    if (epoll_ < 0 && (epoll_ = epoll_create1(EPOLL_CLOEXEC)) < 0) {
        ThrowRefused("a descriptor", errno);
    }
    if (wakeup_ < 0) {
        wakeup_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.ptr = nullptr;
        if (wakeup_ < 0 || epoll_ctl(epoll_, EPOLL_CTL_ADD, wakeup_, &event) != 0) {
            const int error = errno;
            if (wakeup_ >= 0) {
                close(wakeup_);
                wakeup_ = -1;
            }
            ThrowRefused("a descriptor", error);
        }
    }
    try {
        // The thread takes no signals: they stay with the program's own threads.
        const AllSignalsBlocked blocked;
        thread_ = startThread_([this] { Run(); });
    } catch (const std::system_error& refused) {
        ThrowRefused("a thread", refused.code().value());
    } catch (const std::bad_alloc&) {
        ThrowRefused("memory", ENOMEM);
    }
    return ticket;
}

void HandlerReaper::Watch(Ticket ticket, pid_t handler) noexcept {
    auto& watched = ticket.entry_.front();
    watched.handler = handler;
    // Without a pidfd (the descriptors ran out) the handler is still reaped, by asking after it.
    watched.pidfd = pidfd_open(handler, 0);
    {
        const std::lock_guard lock(mutex_);
        pending_.splice(pending_.end(), ticket.entry_);
    }
    Wake();
}

void HandlerReaper::Wake() const noexcept {
    const std::uint64_t one = 1;
    // A full counter already means "wake up".
    [[maybe_unused]] const ssize_t written = write(wakeup_, &one, sizeof one);
}

void HandlerReaper::Run() noexcept {
    std::array<epoll_event, 16> events{};
    for (;;) {
        const bool anyWithoutPidfd = std::ranges::any_of(watched_, [](const auto& w) { return w.pidfd < 0; });
        const int count = epoll_wait(epoll_, events.data(), static_cast<int>(events.size()),
                                     anyWithoutPidfd ? PollWithoutPidfdMilliseconds : -1);
        if (count < 0 && errno != EINTR) {
            return;  // the set's descriptor is gone (closed behind the reaper's back): no event can come
        }
        for (int i = 0; i < count; ++i) {
            if (events[static_cast<std::size_t>(i)].data.ptr == nullptr) {
                std::uint64_t ignored = 0;
                [[maybe_unused]] const ssize_t drained = read(wakeup_, &ignored, sizeof ignored);
                {
                    const std::lock_guard lock(mutex_);
                    if (stopping_) {
                        return;
                    }
                }
                TakeOverPending();
                continue;
            }
            const auto* ended = static_cast<const Ticket::Watched*>(events[static_cast<std::size_t>(i)].data.ptr);
            const auto found = std::ranges::find_if(watched_, [ended](const auto& w) { return &w == ended; });
            if (found == watched_.end()) {
                continue;
            }
            // A handler that cannot be waited for any more is dropped all the same, or its pidfd
            // would wake the thread for ever.
            siginfo_t info{};
            const bool waited = waitid(P_PIDFD, static_cast<id_t>(found->pidfd), &info, WEXITED) == 0;
            Reap(found, waited && info.si_code == CLD_EXITED ? info.si_status : -1);
        }
        if (anyWithoutPidfd) {
            ReapThoseWithoutPidfd();
        }
    }
}

void HandlerReaper::TakeOverPending() noexcept {
    std::list<Ticket::Watched> arrived;
    {
        const std::lock_guard lock(mutex_);
        arrived.splice(arrived.end(), pending_);
    }
    for (auto& watched : arrived) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.ptr = &watched;
        if (watched.pidfd >= 0 && epoll_ctl(epoll_, EPOLL_CTL_ADD, watched.pidfd, &event) != 0) {
            close(watched.pidfd);
            watched.pidfd = -1;
        }
    }
    watched_.splice(watched_.end(), arrived);
}

void HandlerReaper::ReapThoseWithoutPidfd() noexcept {
    for (auto watched = watched_.begin(); watched != watched_.end();) {
        const auto next = std::next(watched);
        int waitStatus = 0;
        if (watched->pidfd < 0 && waitpid(watched->handler, &waitStatus, WNOHANG) == watched->handler) {
            Reap(watched, ExitStatusOf(waitStatus));
        }
        watched = next;
    }
}

void HandlerReaper::Reap(std::list<Ticket::Watched>::iterator watched, int exitStatus) noexcept {
    if (watched->pidfd >= 0) {
        close(watched->pidfd);  // which also takes it out of the epoll set
    }
    try {
        if (watched->onExit) {
            watched->onExit(exitStatus);
        }
    } catch (...) {
        // A report that cannot be made (no memory left) is dropped; the reaper goes on.
    }
    watched_.erase(watched);
}

}  // namespace qmz
