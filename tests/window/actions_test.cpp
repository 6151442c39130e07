#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "link/link_constants.hpp"
#include "tests/window/fake_form_runtime.hpp"
#include "window/actions.hpp"

// The actions against a runtime that fails on demand: what each click leaves in the box, hands to
// the shell and shows the user, whichever step fails. The real window's tests cover the same
// clicks without failures.
namespace qmz {
namespace {

using testing_support::FakeFormRuntime;
using Step = FakeFormRuntime::Step;

const Text PageLink = Text(PageLinkPrefix) + u"ab12CD34";
const Text MediaLink = Text(MediaLinkPrefix) + u"ab/ab12CD34.flv";
const Text Opened = u"OPEN " + MediaLink;
const Text OpenedHome = u"open " + Text(SiteHomeLink);

struct ActionCase {
    const char* name;
    ClickAction action;
    Text text;
    std::optional<Step> failing;
    Text textAfter;
    std::vector<Text> opened;  // "verb target"
    bool reported;
};

void PrintTo(const ActionCase& c, std::ostream* os) {
    *os << c.name;
}

class ActionTest : public testing::TestWithParam<ActionCase> {};

TEST_P(ActionTest, LeavesTheBoxOpensAndReportsAsItShould) {
    const ActionCase& c = GetParam();
    FakeFormRuntime form(c.text);
    form.failingStep = c.failing;
    RunClickAction(c.action, form, form.Opener());

    EXPECT_EQ(form.text, c.textAfter);
    std::vector<Text> opened;
    for (const auto& request : form.opened) {
        opened.push_back(request.verb + u" " + request.target);
        EXPECT_EQ(request.owner, WindowHandle{0x2a});
        EXPECT_EQ(request.folder, testing_support::FolderOfProgram);
    }
    EXPECT_EQ(opened, c.opened);
    EXPECT_EQ(form.reports.size(), c.reported ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, ActionTest,
    testing::Values(
        ActionCase{"get_link", ClickAction::GetLink, PageLink, std::nullopt, MediaLink, {}, false},
        ActionCase{"get_link_other_text", ClickAction::GetLink, u" " + PageLink, std::nullopt, u"", {}, false},
        // Silent abandon: the box stays as it was, nothing is shown.
        ActionCase{"get_link_read_fails", ClickAction::GetLink, PageLink, Step::ReadText, PageLink, {}, false},
        ActionCase{"get_link_write_fails", ClickAction::GetLink, PageLink, Step::WriteText, PageLink, {}, false},
        ActionCase{"download", ClickAction::Download, PageLink, std::nullopt, PageLink, {Opened}, false},
        ActionCase{"download_media_link", ClickAction::Download, MediaLink, std::nullopt, MediaLink, {}, false},
        // Nothing is opened after the failing step, and nothing is shown.
        ActionCase{"download_read_fails", ClickAction::Download, PageLink, Step::ReadText, PageLink, {}, false},
        ActionCase{"download_handle_fails", ClickAction::Download, PageLink, Step::WindowHandle, PageLink, {}, false},
        ActionCase{"download_folder_fails", ClickAction::Download, PageLink, Step::ProgramFolder, PageLink, {}, false},
        ActionCase{"download_shell_fails", ClickAction::Download, PageLink, Step::Shell, PageLink, {}, false},
        ActionCase{"download_out_of_memory", ClickAction::Download, PageLink, Step::ShellOutOfMemory, PageLink, {}, false},
        ActionCase{"download_fails_later", ClickAction::Download, PageLink, Step::ShellLater, PageLink, {Opened}, false},
        ActionCase{"site_link", ClickAction::SiteLink, u"anything", std::nullopt, u"anything", {OpenedHome}, false},
        // The banner's failures are reported, and the text survives them.
        ActionCase{"site_link_handle_fails", ClickAction::SiteLink, PageLink, Step::WindowHandle, PageLink, {}, true},
        ActionCase{"site_link_folder_fails", ClickAction::SiteLink, PageLink, Step::ProgramFolder, PageLink, {}, true},
        ActionCase{"site_link_shell_fails", ClickAction::SiteLink, PageLink, Step::Shell, PageLink, {}, true},
        ActionCase{"site_link_out_of_memory", ClickAction::SiteLink, PageLink, Step::ShellOutOfMemory, PageLink, {}, true},
        ActionCase{"site_link_fails_later", ClickAction::SiteLink, PageLink, Step::ShellLater, PageLink, {OpenedHome}, true},
        ActionCase{"no_action", ClickAction::None, PageLink, Step::ReadText, PageLink, {}, false}),
    [](const testing::TestParamInfo<ActionCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qmz
