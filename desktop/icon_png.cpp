// Build-time tool: writes the program's icon as a PNG of a given size, made the one sharp way the
// icon knows (resources/icon_image.hpp): from the drawing for that size, every pixel a whole square.
#include <QImage>

#include <cstdio>
#include <exception>
#include <string>

#include "resources/icon_image.hpp"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SIZE OUTPUT.png\n", argv[0]);
        return 2;
    }
    try {
        const qmz::XpmImage icon = qmz::IconImage(std::stoi(argv[1]));
        QImage image(icon.width, icon.height, QImage::Format_ARGB32);
        for (int y = 0; y < icon.height; ++y) {
            for (int x = 0; x < icon.width; ++x) {
                const auto pixel = icon.At(x, y);
                image.setPixel(x, y, pixel ? 0xFF000000u | *pixel : 0u);
            }
        }
        if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
