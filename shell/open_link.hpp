#pragma once

#include <memory>
#include <string_view>

#include "base/failure_report.hpp"
#include "base/native_path.hpp"
#include "base/window_handle.hpp"

namespace qmz {

// Hands links to the desktop's default handler. One serves the whole program, and the handlers
// it starts may outlive it.
class LinkHandoff {
public:
    LinkHandoff();
    ~LinkHandoff();
    LinkHandoff(const LinkHandoff&) = delete;
    LinkHandoff& operator=(const LinkHandoff&) = delete;

    // Hands target to the desktop's default handler with the operation verb ("open" in any letter
    // case), owner as the parent of any window the shell shows and folder as the handler's working
    // folder; the handler gets no parameters and is shown normally. Returns once the request is
    // handed over, without waiting for the handler. Throws RuntimeFailure when the shell cannot be
    // reached. Where the desktop says only later that it could not open the link, onLateFailure
    // gets a message for the user, from another thread; a handler that succeeds or still runs
    // brings nothing.
    void Open(WindowHandle owner, std::u16string_view verb, std::u16string_view target, const NativePath& folder,
              const FailureReport& onLateFailure);

private:
    struct Platform;
    std::unique_ptr<Platform> platform_;
};

}  // namespace qmz
