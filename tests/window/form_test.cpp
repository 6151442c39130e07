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
using testing_support::WayIn;
using testing_support::WayOut;

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

// Whatever way a text comes in, the box takes it whole up to its first line break (LF, CR or CRLF),
// five million characters as well, at a cost in memory of a few times their size (a box that lays
// all of it out costs over thirty), as one step that Undo takes back and Redo brings again. Get
// Link's write, like any program's setting of a box's text, is no step to undo.
TEST(Form, EveryWayInTakesTheFirstLineWholeAsOneStep) {
    auto face = StartFace({});
    const Text text = testing_support::LongText();
    const Text breaks[] = {u"\n", u"\r", u"\r\n"};
    for (int way = 0; way < static_cast<int>(WayIn::End); ++way) {
        face->Form().WritePageLinkBox(u"ab");
        face->PlaceCursor(1);
        const auto before = face->HeapInUse();
        if (!face->Bring(WayIn(way), text + breaks[way % 3] + u"rest")) {
            continue;
        }
        const auto after = face->HeapInUse();
        SCOPED_TRACE("way in " + std::to_string(way));
        const Text taken = WayIn(way) >= WayIn::ReaderSet ? text : u"a" + text + u"b";
        EXPECT_TRUE(face->Form().ReadPageLinkBox() == taken) << "the text came in otherwise";
        if (before && after) {
            EXPECT_LT(*after, *before + 4 * text.size() * sizeof(char16_t) + 65536) << "bytes in use before: " << *before;
        }
        face->PressInBox(BoxKey::Undo);
        EXPECT_TRUE(face->Form().ReadPageLinkBox() == (WayIn(way) == WayIn::Write ? taken : u"ab")) << "after Undo";
        face->PressInBox(BoxKey::Redo);
        EXPECT_TRUE(face->Form().ReadPageLinkBox() == taken) << "after Redo";
    }
}

// The whole text leaves by every way exactly as it is, a short one and a long one with a "…" of
// its own and characters of two code units where a box might cut it short to show it. A cut
// leaves the box empty, and Undo brings the text back.
TEST(Form, EveryWayOutGivesTheWholeTextExactly) {
    auto face = StartFace({});
    for (const Text& text : {Text(u"x\u2026\U0001F600y"), testing_support::LongText(100'000)}) {
        for (int way = 0; way < static_cast<int>(WayOut::End); ++way) {
            face->Form().WritePageLinkBox(text);
            const std::optional<Text> out = face->TakeOut(WayOut(way));
            if (!out) {
                continue;
            }
            SCOPED_TRACE("way out " + std::to_string(way) + ", " + std::to_string(text.size()) + " characters");
            EXPECT_TRUE(*out == text) << "gave " << out->size() << " characters";
            if (WayOut(way) == WayOut::CutKeys || WayOut(way) == WayOut::ReaderCut) {
                EXPECT_EQ(face->Form().ReadPageLinkBox(), Text());
                face->PressInBox(BoxKey::Undo);
            }
            EXPECT_TRUE(face->Form().ReadPageLinkBox() == text) << "the box holds another text now";
        }
    }
}

// At the system's density (96, or QMZ_TEST_DPI where a test run sets another) the client area and
// every control stand where the description places them; and every control again once the window
// hears that it moved to a denser screen (the frame, and so the client area, is then the system's).
TEST(Form, LaysOutEveryControlAtTheScreensDensity) {
    auto face = StartFace({});
    const char* asked = std::getenv("QMZ_TEST_DPI");
    ASSERT_NEAR(face->Dpi(), asked != nullptr ? std::atof(asked) : 96, 0.5) << "the system runs at another density";
    for (const bool moved : {false, true}) {
        if (moved && !face->MoveToDensity(192)) {
            continue;
        }
        SCOPED_TRACE(std::to_string(face->Dpi()) + " dots per inch");
        const auto expectAt = [&face](std::string_view name, const TwipRect& twips) {
            const auto place = face->Place(name);
            for (const auto& [actual, expected] : std::initializer_list<std::pair<double, int>>{
                     {place.left, twips.left}, {place.top, twips.top}, {place.width, twips.width}, {place.height, twips.height}}) {
                EXPECT_NEAR(actual, expected * face->Dpi() / TwipsPerInch, face->Rounding()) << name;
            }
        };
        if (!moved) {
            expectAt(MainForm().name, {0, 0, MainForm().clientWidth, MainForm().clientHeight});
        }
        for (const ControlDescription& control : MainForm().controls) {
            expectAt(control.name, control.place);
        }
    }
}

}  // namespace

Text testing_support::LongText(std::size_t size) {
    const Text tag = u"\U000E0041";
    Text text = u"\u2026";
    for (int i = 0; i < 200; ++i) {
        text += tag;
    }
    for (char16_t c = 0; text.size() < size - 401; ++c) {
        text += text.size() == size / 2 ? u'\u2026' : static_cast<char16_t>(u'0' + c % 64);
    }
    for (int i = 0; i < 200; ++i) {
        text += tag;
    }
    return text + u"\u2026";
}

}  // namespace qmz
