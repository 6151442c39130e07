// Build-time tool: writes the program's icon as a PNG of a given size, every pixel of the 32 by 32
// source repeated as a whole square so that the larger sizes stay exactly as sharp as the original.
#include <QImage>

#include <cstdio>
#include <string>

#include "resources/icon.hpp"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SIZE OUTPUT.png\n", argv[0]);
        return 2;
    }
    const QImage source = QImage(qmz_icon_xpm).convertToFormat(QImage::Format_ARGB32);
    const int size = std::stoi(argv[1]);
    if (source.isNull() || source.width() != source.height() || size % source.width() != 0) {
        std::fprintf(stderr, "%s: %d is not a whole multiple of the %dx%d icon\n", argv[0], size, source.width(),
                     source.height());
        return 1;
    }
    const int factor = size / source.width();
    QImage scaled(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            scaled.setPixel(x, y, source.pixel(x / factor, y / factor));
        }
    }
    if (!scaled.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
