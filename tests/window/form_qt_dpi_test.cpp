#include <gtest/gtest.h>

#include <QTest>

#include <cstdlib>

#include "qt/form.hpp"

// CTest runs this once for each screen density, with Qt scaling the window as it does for
// high-DPI screens (QT_SCALE_FACTOR) and QMZ_TEST_DPI giving the density that scale stands for.
namespace qmz {
namespace {

TEST(FormQtAtDpi, ControlsStayInsideTheClientAreaInTheirProportions) {
    const char* expectedDpi = std::getenv("QMZ_TEST_DPI");
    ASSERT_NE(expectedDpi, nullptr);
    QtForm form(MainForm(), {});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    // Device pixels per logical pixel, and the density the window is really drawn at.
    const double ratio = form.devicePixelRatioF();
    const double dpi = form.logicalDpiX() * ratio;
    ASSERT_NEAR(dpi, std::atof(expectedDpi), 0.5);
    const auto devicePixels = [dpi](int twips) { return twips * dpi / TwipsPerInch; };

    const FormDescription& description = MainForm();
    EXPECT_NEAR(form.width() * ratio, devicePixels(description.clientWidth), ratio);
    EXPECT_NEAR(form.height() * ratio, devicePixels(description.clientHeight), ratio);
    for (const ControlDescription& control : description.controls) {
        const QWidget* widget = form.findChild<QWidget*>(QString::fromUtf8(control.name.data(), static_cast<qsizetype>(control.name.size())));
        ASSERT_NE(widget, nullptr);
        const QRect place = widget->geometry();
        EXPECT_TRUE(form.rect().contains(place)) << control.name;
        // Within one logical pixel of the exact place, in device pixels.
        EXPECT_NEAR(place.x() * ratio, devicePixels(control.place.left), ratio) << control.name;
        EXPECT_NEAR(place.y() * ratio, devicePixels(control.place.top), ratio) << control.name;
        EXPECT_NEAR(place.width() * ratio, devicePixels(control.place.width), ratio) << control.name;
        EXPECT_NEAR(place.height() * ratio, devicePixels(control.place.height), ratio) << control.name;
    }
}

}  // namespace
}  // namespace qmz
