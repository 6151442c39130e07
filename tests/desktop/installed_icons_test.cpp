#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <string>

#include "resources/icon.hpp"

namespace {

// Every installed icon against the XPM it is made from: same pixels, each repeated as a whole
// square (Qt's fast scaling by a whole factor), so nothing is blurred or shifted.
TEST(InstalledIcons, EverySizeIsTheSourceIconScaledByWholePixels) {
    const char* prefix = std::getenv("QMZ_INSTALL_PREFIX");
    const char* id = std::getenv("QMZ_APP_ID");
    ASSERT_TRUE(prefix && id);
    const QImage source = QImage(qmz_icon_xpm).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(source.size(), QSize(32, 32));
    for (const int size : {32, 64, 128, 256}) {
        const std::string path = std::string(prefix) + "/share/icons/hicolor/" + std::to_string(size) + "x" +
                                 std::to_string(size) + "/apps/" + id + ".png";
        QImage icon;
        ASSERT_TRUE(icon.load(QString::fromStdString(path), "PNG")) << path;
        EXPECT_TRUE(icon.convertToFormat(QImage::Format_ARGB32) == source.scaled(size, size, Qt::IgnoreAspectRatio))
            << path << " is not the source icon scaled by whole pixels";
    }
}

}  // namespace
