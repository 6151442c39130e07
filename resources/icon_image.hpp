#pragma once

#include <iterator>
#include <stdexcept>
#include <string>

#include "resources/icon.hpp"
#include "resources/xpm_image.hpp"

namespace qmz {

// The icon at `size` pixels, sharp: the largest drawing whose size divides `size`, each of its
// pixels repeated as a whole square. Throws std::invalid_argument for a size no drawing divides,
// which would need a drawing of its own.
inline XpmImage IconImage(int size) {
    for (auto drawing = std::rbegin(IconDrawings); drawing != std::rend(IconDrawings); ++drawing) {
        if (size <= 0 || size % drawing->size != 0) {
            continue;
        }
        const XpmImage source = ReadXpm(drawing->xpm);
        const int factor = size / drawing->size;
        XpmImage image{size, size, {}};
        image.pixels.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                image.pixels.push_back(source.At(x / factor, y / factor));
            }
        }
        return image;
    }
    throw std::invalid_argument("no icon drawing divides " + std::to_string(size) + " pixels");
}

}  // namespace qmz
