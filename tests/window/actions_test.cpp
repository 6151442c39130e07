#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "link/link_constants.hpp"
#include "tests/window/fake_form_runtime.hpp"
#include "window/actions.hpp"

namespace qmz {
namespace {

using testing_support::FakeFormRuntime;
using Step = FakeFormRuntime::Step;

const Text PageLink = Text(PageLinkPrefix) + u"ab12CD34";
const Text MediaLink = Text(MediaLinkPrefix) + u"ab/ab12CD34.flv";

TEST(GetLinkAction, ReplacesTheTextWithItsMediaLinkOrEmptiesIt) {
    const std::pair<Text, Text> cases[] = {
        {PageLink, MediaLink},
        {Text(PageLinkPrefixWww) + u"ab12CD34", MediaLink},
        {u" " + PageLink, u""},
        {PageLink + u" ", u""},
        {MediaLink, u""},
        {u"", u""},
    };
    for (const auto& [before, after] : cases) {
        FakeFormRuntime form(before);
        GetLinkAction(form);
        EXPECT_EQ(form.text, after);
        EXPECT_TRUE(form.reports.empty());
    }
}

TEST(GetLinkAction, AbandonsSilentlyLeavingTheTextAsItWas) {
    for (const Step step : {Step::ReadText, Step::WriteText}) {
        FakeFormRuntime form(PageLink);
        form.failingStep = step;
        RunClickAction(ClickAction::GetLink, form, form.Opener());
        EXPECT_EQ(form.text, PageLink);
        EXPECT_TRUE(form.reports.empty());
    }
}

TEST(DownloadAction, OpensTheMediaLinkAndKeepsThePageLink) {
    FakeFormRuntime form(PageLink);
    RunClickAction(ClickAction::Download, form, form.Opener());
    RunClickAction(ClickAction::Download, form, form.Opener());
    ASSERT_EQ(form.opened.size(), 2u);
    for (const auto& request : form.opened) {
        EXPECT_EQ(request.owner, WindowHandle{0x2a});
        EXPECT_EQ(request.verb, u"OPEN");
        EXPECT_EQ(request.target, MediaLink);
        EXPECT_EQ(request.folder, "/opt/qmz");
    }
    EXPECT_EQ(form.text, PageLink);
}

TEST(DownloadAction, DoesNothingForTextThatIsNoPageLink) {
    for (const Text& text : {MediaLink, Text(), PageLink + u" ", u"\t" + PageLink}) {
        FakeFormRuntime form(text);
        RunClickAction(ClickAction::Download, form, form.Opener());
        EXPECT_TRUE(form.opened.empty());
        EXPECT_EQ(form.text, text);
        EXPECT_TRUE(form.reports.empty());
    }
}

TEST(DownloadAction, AbandonsSilentlyAtTheFailingStep) {
    for (const Step step : {Step::ReadText, Step::WindowHandle, Step::ProgramFolder, Step::Shell}) {
        FakeFormRuntime form(PageLink);
        form.failingStep = step;
        RunClickAction(ClickAction::Download, form, form.Opener());
        EXPECT_TRUE(form.opened.empty());
        EXPECT_TRUE(form.reports.empty());
        EXPECT_EQ(form.text, PageLink);
    }
}

TEST(SiteLinkAction, OpensTheHomePageWhateverTheText) {
    for (const Text& text : {Text(), PageLink, Text(u"anything")}) {
        FakeFormRuntime form(text);
        RunClickAction(ClickAction::SiteLink, form, form.Opener());
        ASSERT_EQ(form.opened.size(), 1u);
        EXPECT_EQ(form.opened[0].verb, u"open");
        EXPECT_EQ(form.opened[0].target, SiteHomeLink);
        EXPECT_EQ(form.opened[0].owner, WindowHandle{0x2a});
        EXPECT_EQ(form.opened[0].folder, "/opt/qmz");
        EXPECT_EQ(form.text, text);
    }
}

TEST(SiteLinkAction, FailureIsReportedAndTheTextKept) {
    for (const Step step : {Step::WindowHandle, Step::ProgramFolder, Step::Shell}) {
        FakeFormRuntime form(PageLink);
        form.failingStep = step;
        RunClickAction(ClickAction::SiteLink, form, form.Opener());
        EXPECT_TRUE(form.opened.empty());
        ASSERT_EQ(form.reports.size(), 1u);
        EXPECT_EQ(form.reports[0], "injected failure");
        EXPECT_EQ(form.text, PageLink);
    }
}

TEST(ClickAction, NoneTouchesNothing) {
    FakeFormRuntime form(PageLink);
    form.failingStep = Step::ReadText;
    RunClickAction(ClickAction::None, form, form.Opener());
    EXPECT_TRUE(form.opened.empty());
    EXPECT_TRUE(form.reports.empty());
    EXPECT_EQ(form.text, PageLink);
}

}  // namespace
}  // namespace qmz
