#pragma once

#include <stdexcept>

namespace qmz {

// The one kind of failure the window, the runtime around it and the shell raise: a property that
// could not be read or written, or a shell that could not be reached. Each action decides what it
// means.
class RuntimeFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace qmz
