// Feeds DeriveMediaLink arbitrary text and compares every answer with a second derivation written
// independently from the page-link rule: a text is a page link exactly when it equals one of the two
// page-link prefixes followed by its own last eight characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "link/derive_media_link.hpp"
#include "link/site_hosts.hpp"

namespace {

constexpr std::size_t IdLength = 8;

std::optional<std::u16string> ExpectedMediaLink(std::u16string_view text) {
    const std::u16string_view siteHost = QMZ_SITE_HOST;
    const std::u16string_view mediaHost = QMZ_MEDIA_HOST;
    if (text.size() < IdLength) {
        return std::nullopt;
    }
    const std::u16string id(text.substr(text.size() - IdLength));
    const std::u16string site(siteHost);
    for (const std::u16string& lead : {u"http://" + site + u"/play:", u"http://www." + site + u"/play:"}) {
        if (lead + id == text) {
            return u"http://" + std::u16string(mediaHost) + u"/s/" + id.substr(0, 2) + u"/" + id + u".flv";
        }
    }
    return std::nullopt;
}

}  // namespace

// The bytes are the text's UTF-16 code units, low byte first; an odd last byte is left out.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    if (qmz::DeriveMediaLink(text) != ExpectedMediaLink(text)) {
        std::abort();
    }
    return 0;
}
