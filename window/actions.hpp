#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "window/form_description.hpp"
#include "window/form_runtime.hpp"

namespace qmz {

// How an action reaches the shell; OpenLink in the program, a stand-in where a test injects faults.
using LinkOpener = std::function<void(WindowHandle owner, std::u16string_view verb, std::u16string_view target,
                                      const std::filesystem::path& folder)>;

inline constexpr std::u16string_view DownloadVerb = u"OPEN";
inline constexpr std::u16string_view SiteLinkVerb = u"open";

// Get Link: replaces the text of Text1 with its media link, or empties it when the text is no page
// link. Silent on failure: whatever failed, the action just ends.
void GetLinkAction(FormRuntime& form);

// Download: opens the media link of the page link in Text1 with the desktop's default handler and
// leaves the text as it was. Does nothing for other text. Silent on failure.
void DownloadAction(FormRuntime& form, const LinkOpener& openLink);

// A click on the banner: opens the site's home page. Its failures reach the caller.
void SiteLinkAction(FormRuntime& form, const LinkOpener& openLink);

// Delivers a click to its action, as the runtime does for every click. A failure that the action
// lets through is reported to the user, and the program goes on running.
void RunClickAction(ClickAction action, FormRuntime& form, const LinkOpener& openLink);

}  // namespace qmz
