// Feeds the derivation arbitrary input in both encodings and holds every answer to a second
// derivation written independently from the page-link rule: a text is a page link exactly when it
// equals one of the two page-link prefixes followed by its own last eight characters. The input's
// bytes are read as UTF-16 code units (low byte first; an odd last byte is left out), as the window
// holds text, and as UTF-8, as qmz-link reads a line; glibc's iconv converts between the two, so that
// DeriveMediaLinkFromUtf8 must give DeriveMediaLink's answer on every text and refuse bytes that are
// not UTF-8.
#include <iconv.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "link/derive_media_link.hpp"
#include "link/link_options.hpp"

namespace {

constexpr std::size_t IdLength = 8;

std::optional<std::u16string> ExpectedMediaLink(std::u16string_view text) {
    if (text.size() < IdLength) {
        return std::nullopt;
    }
    const std::u16string id(text.substr(text.size() - IdLength));
    const std::u16string site(QMZ_SITE_HOST);
    for (const std::u16string& lead : {u"http://" + site + u"/play:", u"http://www." + site + u"/play:"}) {
        if (lead + id == text) {
            return std::u16string(QMZ_MEDIA_SCHEME) + u"://" + QMZ_MEDIA_HOST + u"/s/" + id.substr(0, 2) + u"/" + id + u".flv";
        }
    }
    return std::nullopt;
}

// The bytes in another encoding, or nothing when they are not valid in theirs or have no form in
// the other (a lone surrogate has none in UTF-8).
std::optional<std::string> Convert(const char* to, const char* from, std::string bytes) {
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        std::abort();
    }
    std::string converted(2 * bytes.size(), '\0');  // UTF-8 to UTF-16 at most doubles
    char* in = bytes.data();
    char* out = converted.data();
    std::size_t inLeft = bytes.size(), outLeft = converted.size();
    const bool whole = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    iconv_close(converter);
    converted.resize(converted.size() - outLeft);
    return whole ? std::optional(converted) : std::nullopt;
}
std::string Utf16Bytes(std::u16string_view text) {
    std::string bytes;
    for (const char16_t unit : text) {
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    return bytes;
}
std::u16string Utf16Text(std::string_view bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) | (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
    }
    return text;
}

// qmz-link's derivation on bytes against the window's on the same text.
bool AgreesOnUtf8(const std::string& bytes) {
    std::array<char, qmz::LongestUtf8MediaLink> out{};
    const qmz::Utf8MediaLink answer = qmz::DeriveMediaLinkFromUtf8(bytes, out);
    const std::optional<std::string> text = Convert("UTF-16LE", "UTF-8", bytes);
    const std::optional<std::u16string> mediaLink = text ? qmz::DeriveMediaLink(Utf16Text(*text)) : std::nullopt;
    if (!mediaLink) {
        return answer.outcome == qmz::Utf8Derivation::NoPageLink;
    }
    const std::optional<std::string> expected = Convert("UTF-8", "UTF-16LE", Utf16Bytes(*mediaLink));
    if (!expected) {
        return answer.outcome == qmz::Utf8Derivation::SplitCharacter;
    }
    return answer.outcome == qmz::Utf8Derivation::MediaLink && std::string_view(out.data(), answer.bytes) == *expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = Utf16Text(bytes);
    const std::optional<std::string> textInUtf8 = Convert("UTF-8", "UTF-16LE", Utf16Bytes(text));
    if (qmz::DeriveMediaLink(text) != ExpectedMediaLink(text) || !AgreesOnUtf8(bytes) ||
        (textInUtf8 && !AgreesOnUtf8(*textInUtf8))) {
        std::abort();
    }
    return 0;
}
