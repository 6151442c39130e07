#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qmz {

// An image read from XPM data. Standard C++ only, so that the tool that turns the icon into a
// Windows .ico builds with the build machine's compiler alone, without a toolkit.
struct XpmImage {
    int width = 0;
    int height = 0;
    // Row by row from the top left: 0xRRGGBB, or nothing for a transparent pixel.
    std::vector<std::optional<std::uint32_t>> pixels;

    std::optional<std::uint32_t> At(int x, int y) const {
        return pixels.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x));
    }
};

// Reads the strings of an XPM's C array. Knows the colour forms the project's icons use: "c #RRGGBB"
// and "c None". Throws std::invalid_argument, naming what is wrong, for anything else.
inline XpmImage ReadXpm(std::span<const char* const> lines) {
    const auto fail = [](const std::string& what) -> XpmImage { throw std::invalid_argument("XPM: " + what); };
    if (lines.empty()) {
        return fail("no header");
    }
    std::istringstream header(lines[0]);
    int colours = 0;
    int charsPerPixel = 0;
    XpmImage image;
    if (!(header >> image.width >> image.height >> colours >> charsPerPixel) || image.width <= 0 || image.height <= 0 ||
        colours <= 0 || charsPerPixel <= 0) {
        return fail("bad header \"" + std::string(lines[0]) + "\"");
    }
    const std::size_t count = 1 + static_cast<std::size_t>(colours) + static_cast<std::size_t>(image.height);
    if (lines.size() != count) {
        return fail("expected " + std::to_string(count) + " strings, found " + std::to_string(lines.size()));
    }

    const auto cpp = static_cast<std::size_t>(charsPerPixel);
    std::map<std::string, std::optional<std::uint32_t>, std::less<>> palette;
    for (int i = 1; i <= colours; ++i) {
        const std::string_view line = lines[static_cast<std::size_t>(i)];
        if (line.size() <= cpp) {
            return fail("colour line " + std::to_string(i) + " is too short");
        }
        std::istringstream rest{std::string(line.substr(cpp))};
        std::string key;
        std::string value;
        if (!(rest >> key >> value) || key != "c") {
            return fail("colour line " + std::to_string(i) + " has no \"c\" colour");
        }
        std::optional<std::uint32_t> colour;
        if (value == "None") {
            colour = std::nullopt;
        } else if (value.size() == 7 && value[0] == '#' &&
                   value.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos) {
            colour = static_cast<std::uint32_t>(std::stoul(value.substr(1), nullptr, 16));
        } else {
            return fail("colour \"" + value + "\" is neither #RRGGBB nor None");
        }
        if (!palette.emplace(std::string(line.substr(0, cpp)), colour).second) {
            return fail("colour \"" + std::string(line.substr(0, cpp)) + "\" is defined twice");
        }
    }

    image.pixels.reserve(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const std::string_view row = lines[1 + static_cast<std::size_t>(colours) + static_cast<std::size_t>(y)];
        if (row.size() != static_cast<std::size_t>(image.width) * cpp) {
            return fail("row " + std::to_string(y) + " is not " + std::to_string(image.width) + " pixels wide");
        }
        for (std::size_t x = 0; x < row.size(); x += cpp) {
            const auto found = palette.find(row.substr(x, cpp));
            if (found == palette.end()) {
                return fail("row " + std::to_string(y) + " uses an undefined colour");
            }
            image.pixels.push_back(found->second);
        }
    }
    return image;
}

}  // namespace qmz
