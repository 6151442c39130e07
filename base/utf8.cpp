#include "base/utf8.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace qmz {
namespace {

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsAscii(char byte) { return static_cast<unsigned char>(byte) < 0x80; }

std::size_t Utf8Length(char32_t codePoint) {
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}
std::size_t Utf16Length(char32_t codePoint) { return codePoint < 0x10000 ? 1 : 2; }

// Writes the code point's UTF-8 form at out, which has room for it, and gives the end.
char* PutUtf8(char* out, char32_t codePoint) {
    const auto byte = [&out](char32_t value) { *out++ = static_cast<char>(value); };
    switch (Utf8Length(codePoint)) {
        case 1:
            byte(codePoint);
            break;
        case 2:
            byte(0xC0 | (codePoint >> 6));
            byte(0x80 | (codePoint & 0x3F));
            break;
        case 3:
            byte(0xE0 | (codePoint >> 12));
            byte(0x80 | ((codePoint >> 6) & 0x3F));
            byte(0x80 | (codePoint & 0x3F));
            break;
        default:
            byte(0xF0 | (codePoint >> 18));
            byte(0x80 | ((codePoint >> 12) & 0x3F));
            byte(0x80 | ((codePoint >> 6) & 0x3F));
            byte(0x80 | (codePoint & 0x3F));
            break;
    }
    return out;
}

// The code point that starts at text[i], or nothing for a lone surrogate; moves i past it.
std::optional<char32_t> NextCodePoint(TextView text, std::size_t& i) {
    const char32_t unit = text[i++];
    if (IsHighSurrogate(unit) && i < text.size() && IsLowSurrogate(text[i])) {
        return 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
    }
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
        return std::nullopt;
    }
    return unit;
}

// The code point whose UTF-8 form starts at bytes[i], or nothing when the bytes there are not
// valid UTF-8; moves i past it.
std::optional<char32_t> NextCodePoint(std::string_view bytes, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        length = 1, codePoint = lead, smallest = 0;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (bytes.size() - i < length) {
        return std::nullopt;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || IsHighSurrogate(codePoint) || IsLowSurrogate(codePoint)) {
        return std::nullopt;
    }
    i += length;
    return codePoint;
}

}  // namespace

bool AppendUtf8(std::string& out, TextView text) {
    // Links are nearly always ASCII, which needs no encoding at all.
    if (std::ranges::all_of(text, [](char16_t unit) { return unit < 0x80; })) {
        const std::size_t start = out.size();
        out.resize(start + text.size());
        std::ranges::transform(text, out.begin() + static_cast<std::ptrdiff_t>(start),
                               [](char16_t unit) { return static_cast<char>(unit); });
        return true;
    }
    // Measured first and written in place: one size change instead of one per byte.
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::optional<char32_t> codePoint = NextCodePoint(text, i);
        if (!codePoint) {
            return false;
        }
        length += Utf8Length(*codePoint);
    }
    const std::size_t start = out.size();
    out.resize(start + length);
    char* at = out.data() + start;
    for (std::size_t i = 0; i < text.size();) {
        at = PutUtf8(at, *NextCodePoint(text, i));
    }
    return true;
}

std::optional<std::string> ToUtf8(TextView text) {
    std::string out;
    out.reserve(text.size());
    if (!AppendUtf8(out, text)) {
        return std::nullopt;
    }
    return out;
}

std::size_t Utf16Length(std::string_view bytes) {
    // ASCII, by far the most common in links, eight bytes at a time: a byte for each unit.
    constexpr std::uint64_t HighBits = 0x8080808080808080;
    std::size_t i = 0;
    for (std::uint64_t word = 0; i + sizeof word <= bytes.size(); i += sizeof word) {
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if ((word & HighBits) != 0) {
            break;
        }
    }
    std::size_t units = i;
    while (i < bytes.size()) {
        if (IsAscii(bytes[i])) {
            ++i, ++units;
        } else if (const std::optional<char32_t> codePoint = NextCodePoint(bytes, i)) {
            units += Utf16Length(*codePoint);
        } else {
            return NoLength;
        }
    }
    return units;
}

std::size_t Utf8LengthOfUnits(std::string_view bytes, std::size_t units) {
    std::size_t i = 0;
    while (units > 0 && i < bytes.size()) {
        const std::optional<char32_t> codePoint = NextCodePoint(bytes, i);
        if (!codePoint || Utf16Length(*codePoint) > units) {
            return NoLength;
        }
        units -= Utf16Length(*codePoint);
    }
    return i;
}

}  // namespace qmz
