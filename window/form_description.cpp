#include "window/form_description.hpp"

#include <algorithm>
#include <numeric>

namespace qmz {
namespace {

constexpr FontDescription BannerFont{
    .family = "Arial Black",
    .tenThousandthsOfPoint = 202500,
    .weight = 400,
    .italic = false,
    .underline = false,
    .strikeOut = false,
    .characterSet = 204,
};

constexpr Colour BannerRed{237, 15, 100};

constexpr std::array MainFormControls{
    ControlDescription{"Text1", ControlKind::TextBox, "", {120, 600, 3255, 285}, 0,
                       std::nullopt, std::nullopt, TextAlignment::Left, ClickAction::None,
                       "Video page link",
                       "Paste the address of a video's page here. Get Link replaces it with the address of the "
                       "video file; Download opens that file in the web browser."},
    ControlDescription{"Command1", ControlKind::PushButton, "Download", {2520, 960, 915, 255}, 1,
                       std::nullopt, std::nullopt, TextAlignment::Left, ClickAction::Download},
    ControlDescription{"Label1", ControlKind::Label, "VBOX", {120, 0, 1335, 615}, 2,
                       BannerFont, std::nullopt, TextAlignment::Left, ClickAction::SiteLink},
    ControlDescription{"Label2", ControlKind::Label, "7", {1440, 0, 255, 495}, 3,
                       BannerFont, BannerRed, TextAlignment::Left, ClickAction::SiteLink},
    ControlDescription{"Label3", ControlKind::Label, "Still ownin' ya", {1920, 0, 1455, 255}, 4,
                       std::nullopt, std::nullopt, TextAlignment::Left, ClickAction::None},
    // The signature stands right-aligned under the slogan.
    ControlDescription{"Label4", ControlKind::Label, "Quib", {1920, 240, 1215, 255}, 5,
                       std::nullopt, std::nullopt, TextAlignment::Right, ClickAction::None},
    ControlDescription{"Label5", ControlKind::Label, "Hi to the crew!", {10, 960, 1455, 255}, 6,
                       std::nullopt, std::nullopt, TextAlignment::Left, ClickAction::None},
    ControlDescription{"Command2", ControlKind::PushButton, "Get Link", {1560, 960, 855, 255}, 7,
                       std::nullopt, std::nullopt, TextAlignment::Left, ClickAction::GetLink},
};

constexpr FormDescription MainFormDescription{
    .name = "Form1",
    .title = "QMZ",
    .clientWidth = 3495,
    .clientHeight = 1305,
    .controls = MainFormControls,
};

}  // namespace

const FormDescription& MainForm() {
    return MainFormDescription;
}

std::vector<std::size_t> TabOrder(const FormDescription& form) {
    std::vector<std::size_t> order(form.controls.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::ranges::stable_sort(order, {}, [&form](std::size_t i) { return form.controls[i].tabIndex; });
    return order;
}

std::size_t PageLinkBoxIndex(const FormDescription& form) {
    const auto found = std::ranges::find(form.controls, ControlKind::TextBox, &ControlDescription::kind);
    return static_cast<std::size_t>(found - form.controls.begin());
}

FontDescription StandInFont(const FontDescription& described) {
    FontDescription standIn = described;
    standIn.family = {};
    standIn.weight = 900;
    return standIn;
}

}  // namespace qmz
