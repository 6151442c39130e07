// Writes the program's icon as a Windows .ico file: xpm_to_ico OUTPUT.ico
// Built for and run on the build machine, so that the XPM stays the icon's only source.
#include <cstdint>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "resources/icon.hpp"
#include "resources/xpm_image.hpp"

namespace {

class LittleEndianWriter {
public:
    void U8(std::uint32_t value) { bytes.push_back(static_cast<unsigned char>(value & 0xFF)); }
    void U16(std::uint32_t value) {
        U8(value);
        U8(value >> 8);
    }
    void U32(std::uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    std::vector<unsigned char> bytes;
};

// One 32-bit image with an AND mask: the colours stay exact whatever palette the XPM uses, and the
// mask keeps the transparency for every consumer, including those that ignore alpha.
std::vector<unsigned char> MakeIco(const qmz::XpmImage& image) {
    if (image.width > 256 || image.height > 256) {
        throw std::invalid_argument("an icon image is at most 256 by 256 pixels");
    }
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    const std::uint32_t maskStride = (width + 31) / 32 * 4;
    const std::uint32_t colourBytes = width * height * 4;
    const std::uint32_t imageBytes = 40 + colourBytes + maskStride * height;

    LittleEndianWriter out;
    // ICONDIR and its one ICONDIRENTRY.
    out.U16(0);
    out.U16(1);
    out.U16(1);
    out.U8(width % 256);  // 0 stands for 256
    out.U8(height % 256);
    out.U8(0);
    out.U8(0);
    out.U16(1);
    out.U16(32);
    out.U32(imageBytes);
    out.U32(6 + 16);
    // BITMAPINFOHEADER: the height counts the colour image and the mask together.
    out.U32(40);
    out.U32(width);
    out.U32(height * 2);
    out.U16(1);
    out.U16(32);
    out.U32(0);
    out.U32(colourBytes + maskStride * height);
    out.U32(0);
    out.U32(0);
    out.U32(0);
    out.U32(0);
    // Rows go bottom-up in a DIB.
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const auto pixel = image.At(x, y);
            const std::uint32_t rgb = pixel.value_or(0);
            out.U8(rgb & 0xFF);
            out.U8((rgb >> 8) & 0xFF);
            out.U8((rgb >> 16) & 0xFF);
            out.U8(pixel ? 0xFF : 0x00);
        }
    }
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<unsigned char> row(maskStride, 0);
        for (int x = 0; x < image.width; ++x) {
            if (!image.At(x, y)) {
                row[static_cast<std::size_t>(x) / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
            }
        }
        out.bytes.insert(out.bytes.end(), row.begin(), row.end());
    }
    return out.bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: xpm_to_ico OUTPUT.ico\n";
        return 2;
    }
    try {
        const std::vector<unsigned char> ico = MakeIco(qmz::ReadXpm(qmz_icon_xpm));
        std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
        if (!file.flush()) {
            std::cerr << "xpm_to_ico: cannot write " << argv[1] << "\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "xpm_to_ico: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
