#include "window/actions.hpp"

#include "link/link_constants.hpp"

namespace qmz {

void GetLinkAction(FormRuntime& form) {
    try {
        const Text text = form.ReadText1();
        form.WriteText1(DeriveMediaLink(text).value_or(Text{}));
    } catch (const RuntimeFailure&) {
        // Silent by design: the user sees the text box as it stands, and may try again.
    }
}

void DownloadAction(FormRuntime& form, const LinkOpener& openLink) {
    try {
        const auto mediaLink = DeriveMediaLink(form.ReadText1());
        if (!mediaLink) {
            return;
        }
        const WindowHandle owner = form.ReadWindowHandle();
        const std::filesystem::path folder = form.ReadProgramFolder();
        openLink(owner, DownloadVerb, *mediaLink, folder);
    } catch (const RuntimeFailure&) {
        // Silent by design, as for Get Link.
    }
}

void SiteLinkAction(FormRuntime& form, const LinkOpener& openLink) {
    const WindowHandle owner = form.ReadWindowHandle();
    const std::filesystem::path folder = form.ReadProgramFolder();
    openLink(owner, SiteLinkVerb, SiteHomeLink, folder);
}

void RunClickAction(ClickAction action, FormRuntime& form, const LinkOpener& openLink) {
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
        // A failed browser start must not cost the user the text in the box: report and go on.
        form.ReportFailure(failure);
    }
}

}  // namespace qmz
