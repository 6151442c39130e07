// Feeds the derivation arbitrary input and holds every answer to a second derivation written
// independently from the page-link rule: a text is a page link exactly when it is one of the two
// page-link prefixes followed by eight UTF-16 code units. The input is read as the window holds
// text, UTF-16 code units (low byte first; an odd last byte is left out), and as qmz-link reads a
// line, UTF-8 bytes: DeriveMediaLinkFromUtf8 must answer on them as DeriveMediaLink does on the
// text they stand for, and give no link for bytes that are not UTF-8. glibc's iconv converts.
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "link/derive_media_link.hpp"
#include "link/link_options.hpp"

namespace {

std::optional<std::u16string> ExpectedMediaLink(std::u16string_view text) {
    const std::u16string site(QMZ_SITE_HOST);
    for (const std::u16string& lead : {u"http://" + site + u"/play:", u"http://www." + site + u"/play:"}) {
        if (text.size() == lead.size() + 8 && text.starts_with(lead)) {
            const std::u16string id(text.substr(lead.size()));
            return std::u16string(QMZ_MEDIA_SCHEME) + u"://" + QMZ_MEDIA_HOST + u"/s/" + id.substr(0, 2) + u"/" + id + u".flv";
        }
    }
    return std::nullopt;
}

// UTF-16LE and UTF-8 into each other; nothing for bytes not valid in theirs or without a form in
// the other (a lone surrogate has none in UTF-8).
std::optional<std::string> Convert(const char* to, const char* from, std::string in) {
    std::string out(2 * in.size(), '\0');
    char *inAt = in.data(), *outAt = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const iconv_t converter = iconv_open(to, from);
    const bool whole = iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == 0;
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return whole ? std::optional(out) : std::nullopt;
}
std::u16string Units(std::string_view utf16) {  // low byte first, as x86 keeps them
    std::u16string text(utf16.size() / 2, u'\0');
    std::memcpy(text.data(), utf16.data(), 2 * text.size());
    return text;
}

bool AgreesOnUtf8(const std::string& bytes) {
    std::array<char, qmz::LongestUtf8MediaLink> out{};
    const qmz::Utf8MediaLink answer = qmz::DeriveMediaLinkFromUtf8(bytes, out);
    const std::optional<std::string> text = Convert("UTF-16LE", "UTF-8", bytes);
    const std::optional<std::u16string> link = text ? qmz::DeriveMediaLink(Units(*text)) : std::nullopt;
    const std::optional<std::string> linkInUtf8 =
        link ? Convert("UTF-8", "UTF-16LE", {reinterpret_cast<const char*>(link->data()), 2 * link->size()}) : std::nullopt;
    using enum qmz::Utf8Derivation;
    return answer.outcome == (!link ? NoPageLink : linkInUtf8 ? MediaLink : SplitCharacter) &&
           std::string_view(out.data(), answer.bytes) == linkInUtf8.value_or("");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = Units(bytes);
    if (qmz::DeriveMediaLink(text) != ExpectedMediaLink(text) || !AgreesOnUtf8(bytes)) {
        std::abort();
    }
    return 0;
}
