#pragma once

#include "base/native_path.hpp"

namespace qmz {

// The folder of the running executable, the working folder of every handler: its full path as the
// system gives it, without a trailing separator except for a root. Throws RuntimeFailure.
NativePath ProgramFolder();

}  // namespace qmz
