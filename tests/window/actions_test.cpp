#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/runtime_failure.hpp"
#include "link/link_constants.hpp"
#include "window/actions.hpp"

// The actions against a runtime that fails at the step asked for, the failures the real windows
// cannot produce on demand: what each click leaves in the box, hands to the shell and shows.
namespace qmz {
namespace {

// OutOfMemory: the shell throws what is no RuntimeFailure. Later: the shell takes the link, and
// the desktop reports afterwards that it could not open it.
enum class Step { None, ReadText, WriteText, WindowHandle, ProgramFolder, Shell, OutOfMemory, Later };

const NativePath Folder = std::filesystem::path("/opt/qmz").native();

class FailingRuntime final : public FormRuntime {
public:
    FailingRuntime(Text text, Step failing) : text(std::move(text)), failing_(failing) {}
    Text ReadPageLinkBox() override { return Fail(Step::ReadText), text; }
    void WritePageLinkBox(TextView written) override { Fail(Step::WriteText), text = Text(written); }
    WindowHandle ReadWindowHandle() override { return Fail(Step::WindowHandle), WindowHandle{0x2a}; }
    NativePath ReadProgramFolder() override { return Fail(Step::ProgramFolder), Folder; }
    void ReportFailure(std::string_view message) noexcept override { reports.emplace_back(message); }
    FailureReport LateFailureReport() override {
        return [this](std::string message) { reports.push_back(std::move(message)); };
    }
    LinkOpener Opener() {
        return [this](WindowHandle owner, std::u16string_view verb, std::u16string_view target, const NativePath& folder,
                      const FailureReport& onLateFailure) {
            Fail(Step::Shell);
            if (failing_ == Step::OutOfMemory) {
                throw std::bad_alloc();
            }
            EXPECT_EQ(owner, WindowHandle{0x2a});
            EXPECT_EQ(folder, Folder);
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

const Text PageLink = Text(PageLinkPrefix) + u"ab12CD34";
const Text MediaLink = Text(MediaLinkPrefix) + u"ab/ab12CD34.flv";
const Text Opened = u"OPEN " + MediaLink;
const Text OpenedHome = u"open " + Text(SiteHomeLink);

TEST(Actions, LeaveTheBoxOpenAndReportAsTheyShouldWhicheverStepFails) {
    const struct {
        ClickAction action;
        Text text;
        Step failing;
        Text textAfter;
        std::vector<Text> opened;
        bool reported;
    } cases[] = {
        {ClickAction::GetLink, PageLink, Step::None, MediaLink, {}, false},
        {ClickAction::GetLink, u" " + PageLink, Step::None, u"", {}, false},
        // Get Link and Download abandon silently: the box stays, nothing after the failing step.
        {ClickAction::GetLink, PageLink, Step::ReadText, PageLink, {}, false},
        {ClickAction::GetLink, PageLink, Step::WriteText, PageLink, {}, false},
        {ClickAction::Download, PageLink, Step::None, PageLink, {Opened}, false},
        {ClickAction::Download, MediaLink, Step::None, MediaLink, {}, false},
        {ClickAction::Download, PageLink, Step::ReadText, PageLink, {}, false},
        {ClickAction::Download, PageLink, Step::WindowHandle, PageLink, {}, false},
        {ClickAction::Download, PageLink, Step::ProgramFolder, PageLink, {}, false},
        {ClickAction::Download, PageLink, Step::Shell, PageLink, {}, false},
        {ClickAction::Download, PageLink, Step::OutOfMemory, PageLink, {}, false},
        {ClickAction::Download, PageLink, Step::Later, PageLink, {Opened}, false},
        // The banner reports every failure, now or later, and the text survives.
        {ClickAction::SiteLink, u"anything", Step::None, u"anything", {OpenedHome}, false},
        {ClickAction::SiteLink, PageLink, Step::WindowHandle, PageLink, {}, true},
        {ClickAction::SiteLink, PageLink, Step::ProgramFolder, PageLink, {}, true},
        {ClickAction::SiteLink, PageLink, Step::Shell, PageLink, {}, true},
        {ClickAction::SiteLink, PageLink, Step::OutOfMemory, PageLink, {}, true},
        {ClickAction::SiteLink, PageLink, Step::Later, PageLink, {OpenedHome}, true},
        {ClickAction::None, PageLink, Step::ReadText, PageLink, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "action " << static_cast<int>(c.action) << ", failing step "
                                        << static_cast<int>(c.failing));
        FailingRuntime form(c.text, c.failing);
        RunClickAction(c.action, form, form.Opener());
        EXPECT_EQ(form.text, c.textAfter);
        EXPECT_EQ(form.opened, c.opened);
        EXPECT_EQ(form.reports.size(), c.reported ? 1u : 0u);
    }
}

}  // namespace
}  // namespace qmz
