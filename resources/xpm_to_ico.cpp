// Writes the program's icon as a Windows .ico file: xpm_to_ico OUTPUT.ico SIZE...
// Built for and run on the build machine, so that the XPM drawings stay the icon's only source.
#include <png.h>

#include <cstdint>
#include <exception>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "resources/icon_image.hpp"
#include "resources/xpm_image.hpp"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int LargestDibSize = 48;

void Put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}
void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}
// A 16-colour DIB with an AND mask, the icon form that every Windows version and every consumer
// reads, and the smallest: the drawings use the 16-colour palette. Palette entry 0 is black, the
// colour under a transparent pixel, so that the screen shows through unchanged.
Bytes Dib(const qmz::XpmImage& image) {
    std::map<std::uint32_t, std::uint32_t> index{{0x000000, 0}};
    Bytes palette(4, 0);
    for (const auto& pixel : image.pixels) {
        if (pixel && index.emplace(*pixel, static_cast<std::uint32_t>(index.size())).second) {
            Put32(palette, *pixel);  // RGBQUAD: blue, green, red, 0
        }
    }
    if (index.size() > 16) {
        throw std::invalid_argument("the icon has more than 16 colours");
    }
    palette.resize(16 * 4, 0);
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    const std::uint32_t colourStride = (width * 4 + 31) / 32 * 4;
    const std::uint32_t maskStride = (width + 31) / 32 * 4;

    Bytes out;
    // BITMAPINFOHEADER: the height counts the colour image and the mask together.
    for (const std::uint32_t field : {40u, width, height * 2}) {
        Put32(out, field);
    }
    Put16(out, 1);
    Put16(out, 4);
    for (const std::uint32_t field : {0u, (colourStride + maskStride) * height, 0u, 0u, 16u, 0u}) {
        Put32(out, field);
    }
    out.insert(out.end(), palette.begin(), palette.end());
    // Rows go bottom-up in a DIB.
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(colourStride, 0);
        for (int x = 0; x < image.width; ++x) {
            const auto pixel = image.At(x, y);
            row[static_cast<std::size_t>(x) / 2] |= static_cast<unsigned char>(index.at(pixel.value_or(0)) << (x % 2 ? 0 : 4));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < image.width; ++x) {
            if (!image.At(x, y)) {
                row[static_cast<std::size_t>(x) / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// A PNG with alpha, the form Windows takes for 256 by 256 icons: as a DIB it would be some 40 KB.
Bytes Png(const qmz::XpmImage& image) {
    Bytes rgba;
    for (const auto& pixel : image.pixels) {
        const std::uint32_t rgb = pixel.value_or(0);
        rgba.insert(rgba.end(), {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                                 static_cast<unsigned char>(rgb), static_cast<unsigned char>(pixel ? 0xFF : 0)});
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    // Asked once for the size, then written.
    png_alloc_size_t size = 0;
    Bytes out;
    if (png_image_write_to_memory(&png, nullptr, &size, 0, rgba.data(), 0, nullptr) != 0) {
        out.resize(size);
    }
    if (out.empty() || png_image_write_to_memory(&png, out.data(), &size, 0, rgba.data(), 0, nullptr) == 0) {
        throw std::runtime_error(std::string("libpng cannot write the icon: ") + png.message);
    }
    out.resize(size);
    return out;
}

Bytes MakeIco(const std::vector<int>& sizes) {
    std::vector<Bytes> images;
    Bytes out;
    // ICONDIR, then one ICONDIRENTRY for each image.
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(sizes.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * sizes.size());
    for (const int size : sizes) {
        if (size > 256) {
            throw std::invalid_argument("an icon image is at most 256 by 256 pixels");
        }
        const qmz::XpmImage image = qmz::IconImage(size);
        const bool dib = size <= LargestDibSize;
        images.push_back(dib ? Dib(image) : Png(image));
        out.push_back(static_cast<unsigned char>(size % 256));  // 0 stands for 256
        out.push_back(static_cast<unsigned char>(size % 256));
        out.push_back(dib ? 16 : 0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, dib ? 4 : 32);
        Put32(out, static_cast<std::uint32_t>(images.back().size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(images.back().size());
    }
    for (const Bytes& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: xpm_to_ico OUTPUT.ico SIZE...\n";
        return 2;
    }
    try {
        std::vector<int> sizes;
        for (int i = 2; i < argc; ++i) {
            sizes.push_back(std::stoi(argv[i]));
        }
        const Bytes ico = MakeIco(sizes);
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
