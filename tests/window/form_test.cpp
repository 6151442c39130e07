// What every face's window must do alike, run on each face's real window (face_driver.hpp).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "base/runtime_failure.hpp"
#include "link/link_constants.hpp"
#include "tests/support/link_table.hpp"
#include "tests/window/face_driver.hpp"
#include "window/form_description.hpp"

namespace qmz {
namespace {

using testing_support::BoxKey;
using testing_support::StartFace;

// The table that the derivation and qmz-link are held to as well, each text in the box: Download
// hands its media link on, to be opened over the window, and Get Link puts it in the box.
TEST(Form, DownloadAndGetLinkGiveTheSharedTablesLinkForEveryText) {
    std::vector<std::pair<WindowHandle, Text>> opened;
    auto face = StartFace([&opened](WindowHandle owner, std::u16string_view verb, std::u16string_view target, const NativePath&,
                                    const FailureReport&) { opened.emplace_back(owner, Text(verb) + u" " + Text(target)); });
    std::vector<std::pair<WindowHandle, Text>> expected;
    for (const auto& linkCase : testing_support::ReadLinkTable()) {
        SCOPED_TRACE(testing::PrintToString(linkCase.input));
        face->Form().WritePageLinkBox(linkCase.input);
        ASSERT_EQ(face->Form().ReadPageLinkBox(), linkCase.input) << "the box itself changed the text";
        face->Click("Command1");
        face->Click("Command2");
        EXPECT_EQ(face->Form().ReadPageLinkBox(), linkCase.mediaLink.value_or(Text()));
        if (linkCase.mediaLink) {
            expected.emplace_back(face->Form().ReadWindowHandle(), u"OPEN " + *linkCase.mediaLink);
        }
    }
    EXPECT_EQ(opened, expected);
}

// Whatever a click's work throws, no exception leaves the click: Download stays silent, the banner
// reports in a message box over the window, and the window keeps its text and goes on.
TEST(Form, NoFailureLeavesAClickAndOnlyTheBannerReportsOne) {
    const Text pageLink = Text(PageLinkPrefix) + u"ab12CD34";
    const std::pair<std::function<void()>, std::string> failures[] = {
        {[] { throw RuntimeFailure("The shell is out of reach."); }, "The shell is out of reach."},
        {[] { throw std::bad_alloc(); }, "could not be opened"},
    };
    for (const auto& [failure, expected] : failures) {
        auto face = StartFace([&failure](auto&&...) { failure(); });
        face->Form().WritePageLinkBox(pageLink);
        face->Click("Command1");
        EXPECT_TRUE(face->Messages().empty());
        face->Click("Label1");
        face->Click("Command2");
        ASSERT_EQ(face->Messages().size(), 1u);
        EXPECT_NE(face->Messages()[0].find(expected), std::string::npos) << face->Messages()[0];
        EXPECT_EQ(face->Form().ReadPageLinkBox(), Text(MediaLinkPrefix) + u"ab/ab12CD34.flv");
    }
}

// A paste cut at its first line break (LF, CR, CRLF) is one step, which Undo takes back.
TEST(Form, UndoTakesBackAPasteCutAtALineBreak) {
    auto face = StartFace({});
    for (const TextView rest : {u"\n", u"\r", u"\r\nmore"}) {
        face->Form().WritePageLinkBox(u"x");
        face->PressInBox(BoxKey::SelectAll);
        face->SetClipboard(Text(u"ab") + Text(rest));
        face->PressInBox(BoxKey::Paste);
        EXPECT_EQ(face->Form().ReadPageLinkBox(), u"ab");
        face->PressInBox(BoxKey::Undo);
        EXPECT_EQ(face->Form().ReadPageLinkBox(), u"x");
    }
}

// A paste of five million characters is kept whole, for reading and copying, at a cost in memory
// of a few times its size (over thirty times on a box that lays all of it out); Undo takes it back.
TEST(Form, AHugePasteIsKeptWholeAtACostInProportion) {
    auto face = StartFace({});
    Text huge = Text(PageLinkPrefix) + u"ab12CD34";
    for (char16_t c = 0; huge.size() < 5'000'000; ++c) {
        huge += static_cast<char16_t>(u'0' + c % 64);
    }
    face->SetClipboard(huge);
    const auto before = face->HeapInUse();
    face->PressInBox(BoxKey::Paste);
    const auto after = face->HeapInUse();
    EXPECT_EQ(face->Form().ReadPageLinkBox(), huge);
    if (before && after) {
        EXPECT_LT(*after, *before + 4 * huge.size() * sizeof(char16_t)) << "bytes in use before the paste: " << *before;
    }
    face->PressInBox(BoxKey::SelectAll);
    face->PressInBox(BoxKey::Copy);
    EXPECT_EQ(face->Clipboard(), huge);
    face->PressInBox(BoxKey::Undo);
    EXPECT_EQ(face->Form().ReadPageLinkBox(), u"");
}

// At the system's density (96, or QMZ_TEST_DPI where a test run sets another), the client area
// and every control stand where the description places them.
TEST(Form, LaysOutEveryControlAtTheSystemDpi) {
    auto face = StartFace({});
    const char* asked = std::getenv("QMZ_TEST_DPI");
    ASSERT_NEAR(face->Dpi(), asked != nullptr ? std::atof(asked) : 96, 0.5) << "the system runs at another density";
    const auto expectAt = [&face](std::string_view name, int left, int top, int width, int height) {
        const auto place = face->Place(name);
        for (const auto& [actual, twips] : std::initializer_list<std::pair<double, int>>{{place.left, left}, {place.top, top}, {place.width, width}, {place.height, height}}) {
            EXPECT_NEAR(actual, twips * face->Dpi() / TwipsPerInch, face->Rounding()) << name;
        }
    };
    expectAt(MainForm().name, 0, 0, MainForm().clientWidth, MainForm().clientHeight);
    for (const ControlDescription& control : MainForm().controls) {
        expectAt(control.name, control.place.left, control.place.top, control.place.width, control.place.height);
    }
}

}  // namespace
}  // namespace qmz
