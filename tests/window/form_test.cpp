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

}  // namespace qmz
