#include "link/utf8.hpp"

#include <algorithm>
#include <cstddef>

namespace qmz {
namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::size_t Utf8Length(char32_t codePoint) {
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

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

// The code point that starts at text[i], a lone surrogate read as U+FFFD; moves i past it.
inline char32_t NextCodePoint(TextView text, std::size_t& i) {
    const char32_t unit = text[i++];
    if (IsHighSurrogate(unit) && i < text.size() && IsLowSurrogate(text[i])) {
        return 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
    }
    return IsHighSurrogate(unit) || IsLowSurrogate(unit) ? ReplacementCharacter : unit;
}

// Writes one code point at out[used], or gives false when out has no room for it.
bool PutUtf16(std::span<char16_t> out, std::size_t& used, char32_t codePoint) {
    const std::size_t units = codePoint < 0x10000 ? 1 : 2;
    if (out.size() - used < units) {
        return false;
    }
    if (units == 1) {
        out[used++] = static_cast<char16_t>(codePoint);
    } else {
        codePoint -= 0x10000;
        out[used++] = static_cast<char16_t>(0xD800 + (codePoint >> 10));
        out[used++] = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
    return true;
}

}  // namespace

std::string ToUtf8(TextView text) {
    std::string out;
    out.reserve(text.size());
    AppendUtf8(out, text);
    return out;
}

void AppendUtf8(std::string& out, TextView text) {
    // Links are nearly always ASCII, which needs no encoding at all.
    if (std::ranges::all_of(text, [](char16_t unit) { return unit < 0x80; })) {
        const std::size_t start = out.size();
        out.resize(start + text.size());
        std::ranges::transform(text, out.begin() + static_cast<std::ptrdiff_t>(start),
                               [](char16_t unit) { return static_cast<char>(unit); });
        return;
    }
    // Measured first and written in place: one size change instead of one per byte.
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size();) {
        length += Utf8Length(NextCodePoint(text, i));
    }
    const std::size_t start = out.size();
    out.resize(start + length);
    char* at = out.data() + start;
    for (std::size_t i = 0; i < text.size();) {
        at = PutUtf8(at, NextCodePoint(text, i));
    }
}

std::optional<Text> FromUtf8(std::string_view bytes) {
    // UTF-8 never needs fewer bytes than UTF-16 needs code units, so this is room enough.
    Text out(bytes.size(), u'\0');
    const std::optional<std::size_t> units = FromUtf8(bytes, out);
    if (!units) {
        return std::nullopt;
    }
    out.resize(*units);
    return out;
}

std::optional<std::size_t> FromUtf8(std::string_view bytes, std::span<char16_t> out) {
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            // ASCII, by far the most common in links, goes straight across.
            if (used == out.size()) {
                return std::nullopt;
            }
            out[used++] = lead;
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t codePoint = 0;
        char32_t smallest = 0;
        if ((lead & 0xE0) == 0xC0) {
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
        if (!PutUtf16(out, used, codePoint)) {
            return std::nullopt;
        }
        i += length;
    }
    return used;
}

}  // namespace qmz
