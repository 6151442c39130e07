#pragma once

#include <sys/epoll.h>
#include <sys/types.h>

#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace qmz {

// Waits for the handlers that are started for links, all of them on one thread, so that none is
// left a zombie, no thread is held per handler, and a handler's exit status reaches whoever asked.
// Each handler is watched through a pidfd in one epoll set; the thread sleeps until one ends.
class HandlerReaper {
public:
    // Called with the handler's exit status (-1 when a signal ended it), on the reaper's thread.
    using ExitListener = std::function<void(int exitStatus)>;
    // How the reaper's thread is started: std::thread's way; tests make the system refuse it.
    using ThreadStart = std::function<std::thread(std::function<void()> body)>;

    explicit HandlerReaper(ThreadStart startThread = StartThread);
    ~HandlerReaper();
    HandlerReaper(const HandlerReaper&) = delete;
    HandlerReaper& operator=(const HandlerReaper&) = delete;

    // One handler's place in the reaper, made before the handler starts, so that taking over the
    // handler afterwards needs no memory and cannot fail.
    class Ticket {
    private:
        friend class HandlerReaper;
        struct Watched {
            pid_t handler = 0;
            int pidfd = -1;
            ExitListener onExit;
        };
        std::list<Watched> entry_;
    };

    // Makes ready to take over one more handler: starts the thread at the first call. Throws
    // RuntimeFailure when the system refuses the thread or memory, before anything is started.
    Ticket Prepare(ExitListener onExit);
    // Takes over the started handler for ticket. Never fails.
    void Watch(Ticket ticket, pid_t handler) noexcept;

    static std::thread StartThread(std::function<void()> body);

private:
    void Run() noexcept;
    void Wake() const noexcept;
    void TakeOverPending() noexcept;
    void Reap(std::list<Ticket::Watched>::iterator watched, int exitStatus) noexcept;
    void ReapThoseWithoutPidfd() noexcept;

    ThreadStart startThread_;
    int epoll_ = -1;
    int wakeup_ = -1;  // an eventfd in the epoll set
    std::mutex mutex_;
    std::list<Ticket::Watched> pending_;  // handed over, not yet seen by the thread; under mutex_
    bool stopping_ = false;               // under mutex_
    std::list<Ticket::Watched> watched_;  // the thread's own
    std::thread thread_;
};

}  // namespace qmz
