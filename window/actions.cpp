#include "window/actions.hpp"

#include "base/runtime_failure.hpp"
#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"

namespace qmz {

// Get Link and Download are silent by design, whatever fails (a control, the shell, memory for a
// huge paste): the user sees the text box as it stands, and may try again.

void GetLinkAction(FormRuntime& form) noexcept {
    try {
        const Text text = form.ReadPageLinkBox();
        form.WritePageLinkBox(DeriveMediaLink(text).value_or(Text{}));
    } catch (...) {
    }
}

void DownloadAction(FormRuntime& form, const LinkOpener& openLink) noexcept {
    try {
        const auto mediaLink = DeriveMediaLink(form.ReadPageLinkBox());
        if (!mediaLink) {
            return;
        }
        const WindowHandle owner = form.ReadWindowHandle();
        const NativePath folder = form.ReadProgramFolder();
        openLink(owner, DownloadVerb, *mediaLink, folder, FailureReport{});
    } catch (...) {
    }
}

void SiteLinkAction(FormRuntime& form, const LinkOpener& openLink) {
    const WindowHandle owner = form.ReadWindowHandle();
    const NativePath folder = form.ReadProgramFolder();
    openLink(owner, SiteLinkVerb, SiteHomeLink, folder, form.LateFailureReport());
}

namespace {

// What a click on action was to do, for a failure that comes with no message fit for the user.
const char* FailedAct(ClickAction action) {
    switch (action) {
        case ClickAction::GetLink:
            return "The media link could not be made.";
        case ClickAction::Download:
            return "The video file could not be opened.";
        case ClickAction::SiteLink:
            return "The site's home page could not be opened.";
        case ClickAction::None:
            break;
    }
    return "The click could not be answered.";
}

}  // namespace

void RunClickAction(ClickAction action, FormRuntime& form, const LinkOpener& openLink) noexcept {
    // An exception must never leave a click: it would cross the toolkit's event dispatch (undefined
    // in Qt, the system's code on Win32) and cost the user the text in the box.
    try {
        switch (action) {
            case ClickAction::None:
                break;
            case ClickAction::GetLink:
                GetLinkAction(form);
                break;
            case ClickAction::Download:
                DownloadAction(form, openLink);
                break;
            case ClickAction::SiteLink:
                SiteLinkAction(form, openLink);
                break;
        }
    } catch (const RuntimeFailure& failure) {
        form.ReportFailure(failure.what());
    } catch (...) {
        // Anything else (no memory, a thread refused) has no message fit for the user: the message
        // names the act that failed.
        form.ReportFailure(FailedAct(action));
    }
}

}  // namespace qmz
