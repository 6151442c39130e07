// What every face's window must do alike, run on each face's real window (face_driver.hpp).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/runtime_failure.hpp"
#include "link/link_constants.hpp"
#include "link/utf8.hpp"
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
    auto face = StartFace([&opened](WindowHandle owner, std::u16string_view verb, std::u16string_view target, const NativePath&,
                                    const FailureReport&) { opened.emplace_back(owner, Text(verb) + u" " + Text(target)); });
    std::vector<std::pair<WindowHandle, Text>> expected;
    for (const auto& linkCase : testing_support::ReadLinkTable()) {
        SCOPED_TRACE(ToUtf8(linkCase.input));
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
        {[] { throw std::logic_error("broken"); }, "could not be opened"},
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

// At the system's density (96, or QMZ_TEST_DPI where a test run sets another), the client area
// and every control stand where the description places them.
TEST(Form, LaysOutEveryControlAtTheSystemDpi) {
    auto face = StartFace({});
    const char* asked = std::getenv("QMZ_TEST_DPI");
    ASSERT_NEAR(face->Dpi(), asked != nullptr ? std::atof(asked) : 96, 0.5) << "the system runs at another density";
    const auto px = [&face](int twips) { return twips * face->Dpi() / TwipsPerInch; };
    const double rounding = face->Rounding();
    const testing_support::DevicePlace client = face->Place(MainForm().name);
    EXPECT_NEAR(client.width, px(MainForm().clientWidth), rounding);
    EXPECT_NEAR(client.height, px(MainForm().clientHeight), rounding);
    for (const ControlDescription& control : MainForm().controls) {
        const auto [left, top, width, height] = face->Place(control.name);
        EXPECT_NEAR(left, px(control.place.left), rounding) << control.name;
        EXPECT_NEAR(top, px(control.place.top), rounding) << control.name;
        EXPECT_NEAR(width, px(control.place.width), rounding) << control.name;
        EXPECT_NEAR(height, px(control.place.height), rounding) << control.name;
    }
}

}  // namespace
}  // namespace qmz
