#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <string>

#include "resources/icon.hpp"

namespace {

// Every installed icon against the XPM it is made from: same pixels, each repeated as a whole
// square, so nothing is blurred or shifted.
TEST(InstalledIcons, EverySizeIsTheSourceIconScaledByWholePixels) {
    const char* prefix = std::getenv("QMZ_INSTALL_PREFIX");
    const char* id = std::getenv("QMZ_APP_ID");
    ASSERT_TRUE(prefix && id);
    const QImage source = QImage(qmz_icon_xpm).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(source.size(), QSize(32, 32));
    for (const int size : {32, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const std::string path = std::string(prefix) + "/share/icons/hicolor/" + std::to_string(size) + "x" +
                                 std::to_string(size) + "/apps/" + id + ".png";
        QImage icon;
        ASSERT_TRUE(icon.load(QString::fromStdString(path), "PNG")) << path;
        icon = icon.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(icon.size(), QSize(size, size));
        const int factor = size / 32;
        int differing = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                differing += icon.pixel(x, y) != source.pixel(x / factor, y / factor);
            }
        }
        EXPECT_EQ(differing, 0);
        // The transparent corner stays transparent, and the flag's red is where the source has it.
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(icon.pixel(10 * factor, 20 * factor), source.pixel(10, 20));
    }
}

}  // namespace
