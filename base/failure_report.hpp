#pragma once

#include <functional>
#include <string>

namespace qmz {

// Tells the user about a failure, given as a message fit to show; safe to call from any thread
// where it is handed out for that.
using FailureReport = std::function<void(std::string message)>;

}  // namespace qmz
