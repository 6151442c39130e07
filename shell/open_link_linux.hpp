#pragma once

#include <string_view>

#include "base/failure_report.hpp"
#include "base/native_path.hpp"
#include "shell/handler_reaper_linux.hpp"

namespace qmz {

// The freedesktop way to open a link with the user's preferred application.
inline constexpr const char* DefaultHandler = "xdg-open";

// LinkHandoff::Open's work on a reaper of its own: xdg-open started on target in folder, in a
// clean state, and taken over by reaper; onLateFailure hears of xdg-open's "no method" and "action
// failed" outcomes. Tests pass a reaper whose thread the system refuses.
void OpenLinkWith(HandlerReaper& reaper, std::u16string_view verb, std::u16string_view target,
                  const NativePath& folder, const FailureReport& onLateFailure);

}  // namespace qmz
