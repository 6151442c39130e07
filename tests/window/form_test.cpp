// What every face's window must do alike, run on each face's real window (face_driver.hpp).
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

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
    auto face = StartFace([&opened](WindowHandle owner, TextView verb, TextView target, auto&&...) { opened.emplace_back(owner, Text(verb) + u" " + Text(target)); });
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
// says in a message box over the window which act failed, and the window keeps its text and goes
// on. (A failure with words of its own, no handler to start, is a journey's.)
TEST(Form, NoFailureLeavesAClickAndOnlyTheBannerReportsOne) {
    auto face = StartFace([](auto&&...) { throw std::bad_alloc(); });
    face->Form().WritePageLinkBox(Text(PageLinkPrefix) + u"ab12CD34");
    face->Click("Command1");
    face->Click("Label1");
    face->Click("Command2");
    EXPECT_EQ(face->Messages(), std::vector<std::string>{"The site's home page could not be opened."});
    EXPECT_EQ(face->Form().ReadPageLinkBox(), Text(MediaLinkPrefix) + u"ab/ab12CD34.flv");
}

// A paste is cut at its first line break (LF, CR, CRLF) and kept whole up to there, however long,
// for reading and copying, at a cost in memory of a few times its size (over thirty times on a box
// that lays all of it out); it is one step, which Undo takes back.
TEST(Form, APasteKeepsItsFirstLineWholeAtACostInProportionAndUndoTakesItBack) {
    auto face = StartFace({});
    Text huge = Text(PageLinkPrefix) + u"ab12CD34";
    for (char16_t c = 0; huge.size() < 5'000'000; ++c) {
        huge += static_cast<char16_t>(u'0' + c % 64);
    }
    for (const Text& paste : {Text(u"ab\n"), Text(u"ab\r"), Text(u"ab\r\nmore"), huge}) {
        const Text firstLine = paste.substr(0, paste.find_first_of(u"\r\n"));
        face->Form().WritePageLinkBox(u"x");
        face->PressInBox(BoxKey::SelectAll);
        face->SetClipboard(paste);
        const auto before = face->HeapInUse();
        face->PressInBox(BoxKey::Paste);
        const auto after = face->HeapInUse();
        EXPECT_EQ(face->Form().ReadPageLinkBox(), firstLine);
        if (before && after) {
            EXPECT_LT(*after, *before + 4 * paste.size() * sizeof(char16_t) + 65536) << "bytes in use before the paste: " << *before;
        }
        face->PressInBox(BoxKey::SelectAll);
        face->PressInBox(BoxKey::Copy);
        EXPECT_EQ(face->Clipboard(), firstLine);
        face->PressInBox(BoxKey::Undo);
        EXPECT_EQ(face->Form().ReadPageLinkBox(), u"x");
    }
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
