#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/runtime_failure.hpp"
#include "link/link_constants.hpp"
#include "window/actions.hpp"

// The actions against a runtime that fails at the step asked for, the failures the real windows
// cannot produce on demand: what each click leaves in the box, hands to the shell and shows. What
// a throwing shell does to a real window's click is in form_test.cpp.
namespace qmz {
namespace {

// Later: the shell takes the link, and the desktop reports afterwards that it could not open it.
enum class Step { ReadText, WriteText, WindowHandle, ProgramFolder, Later };

class FailingRuntime final : public FormRuntime {
public:
    FailingRuntime(Text text, Step failing) : text(std::move(text)), failing_(failing) {}
    Text ReadPageLinkBox() override { return Fail(Step::ReadText), text; }
    void WritePageLinkBox(TextView written) override { Fail(Step::WriteText), text = Text(written); }
    WindowHandle ReadWindowHandle() override { return Fail(Step::WindowHandle), WindowHandle{0x2a}; }
    NativePath ReadProgramFolder() override { return Fail(Step::ProgramFolder), std::filesystem::path("/opt/qmz").native(); }
    void ReportFailure(std::string_view message) noexcept override { reports.emplace_back(message); }
    FailureReport LateFailureReport() override {
        return [this](std::string message) { reports.push_back(std::move(message)); };
    }
    LinkOpener Opener() {
        return [this](WindowHandle, std::u16string_view verb, std::u16string_view target, const NativePath&,
                      const FailureReport& onLateFailure) {
            opened.push_back(Text(verb) + u" " + Text(target));
            if (failing_ == Step::Later && onLateFailure) {
                onLateFailure("no program to open links");
            }
        };
    }

    Text text;
    std::vector<Text> opened;  // "verb target"
    std::vector<std::string> reports;

private:
    void Fail(Step step) const {
        if (failing_ == step) {
            throw RuntimeFailure("injected failure");
        }
    }
    Step failing_;
};

TEST(Actions, LeaveTheBoxAndReportAsTheyShouldWhicheverStepFails) {
    const Text pageLink = Text(PageLinkPrefix) + u"ab12CD34";
    const Text opened = u"OPEN " + Text(MediaLinkPrefix) + u"ab/ab12CD34.flv";
    const Text openedHome = u"open " + Text(SiteHomeLink);
    const struct {
        ClickAction action;
        Step failing;
        std::vector<Text> opened;
        bool reported;
    } cases[] = {
        // Get Link and Download abandon silently: the box stays, nothing after the failing step.
        {ClickAction::GetLink, Step::ReadText, {}, false},
        {ClickAction::GetLink, Step::WriteText, {}, false},
        {ClickAction::Download, Step::ReadText, {}, false},
        {ClickAction::Download, Step::WindowHandle, {}, false},
        {ClickAction::Download, Step::ProgramFolder, {}, false},
        {ClickAction::Download, Step::Later, {opened}, false},
        // The banner reports every failure, now or later, and the text survives.
        {ClickAction::SiteLink, Step::WindowHandle, {}, true},
        {ClickAction::SiteLink, Step::ProgramFolder, {}, true},
        {ClickAction::SiteLink, Step::Later, {openedHome}, true},
        {ClickAction::None, Step::ReadText, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "action " << static_cast<int>(c.action) << ", failing step " << static_cast<int>(c.failing));
        FailingRuntime form(pageLink, c.failing);
        RunClickAction(c.action, form, form.Opener());
        EXPECT_EQ(form.text, pageLink);
        EXPECT_EQ(form.opened, c.opened);
        EXPECT_EQ(form.reports.size(), c.reported ? 1u : 0u);
    }
}

}  // namespace
}  // namespace qmz
