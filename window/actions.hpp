#pragma once

#include <functional>
#include <string_view>

#include "base/failure_report.hpp"
#include "base/native_path.hpp"
#include "window/form_description.hpp"
#include "window/form_runtime.hpp"

namespace qmz {

// How an action reaches the shell (LinkHandoff::Open in the program, a stand-in where a test
// injects faults). onLateFailure hears when the desktop says only later that it could not open the
// link; it may be empty.
using LinkOpener = std::function<void(WindowHandle owner, std::u16string_view verb, std::u16string_view target,
                                      const NativePath& folder, const FailureReport& onLateFailure)>;

// The verbs go to the shell exactly as written. The shell matches verbs without regard to letter
// case, so both mean "open"; the bytes that reach it differ, and tests of the shell hold both.
inline constexpr std::u16string_view DownloadVerb = u"OPEN";
inline constexpr std::u16string_view SiteLinkVerb = u"open";

// Get Link: replaces the text of the page-link box with its media link, or empties the box when
// the text is no page link. Silent on failure: whatever failed, the action just ends.
void GetLinkAction(FormRuntime& form) noexcept;

// Download: opens the media link of the page link in the box with the desktop's default handler
// and leaves the text as it was. Does nothing for other text. Silent on failure, now or later.
void DownloadAction(FormRuntime& form, const LinkOpener& openLink) noexcept;

// A click on the banner: opens the site's home page. Its failures reach the caller, and a failure
// the desktop reports later reaches the user too.
void SiteLinkAction(FormRuntime& form, const LinkOpener& openLink);

// Delivers a click to its action; every face's clicks come through here. No exception leaves it:
// a failure the action lets through is reported to the user, and the program goes on running with
// the text the box holds.
void RunClickAction(ClickAction action, FormRuntime& form, const LinkOpener& openLink) noexcept;

}  // namespace qmz
