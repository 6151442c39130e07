#pragma once

#include <string_view>

#include "base/native_path.hpp"
#include "base/window_handle.hpp"

namespace qmz {

// Hands target to the desktop's default handler with the operation verb ("open" in any letter
// case), owner as the parent of any window the shell shows and folder as the handler's working
// folder; the handler gets no parameters and is shown normally. Returns once the request is handed
// over: its outcome is never examined. Throws RuntimeFailure when the shell cannot be reached.
void OpenLink(WindowHandle owner, std::u16string_view verb, std::u16string_view target,
              const NativePath& folder);

}  // namespace qmz
