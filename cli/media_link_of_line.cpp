#include "cli/media_link_of_line.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"
#include "link/utf8.hpp"

namespace qmz::cli {
namespace {

constexpr std::size_t ShortestPageLink = std::min(PageLinkPrefix.size(), PageLinkPrefixWww.size()) + VideoIdLength;
constexpr std::size_t LongestPageLink = std::max(PageLinkPrefix.size(), PageLinkPrefixWww.size()) + VideoIdLength;
// A UTF-16 code unit takes one to three bytes in UTF-8 (a surrogate pair takes four for its two), so
// a page link's UTF-8 form is never shorter than its length in code units nor longer than three times it.
constexpr std::size_t LongestPageLinkBytes = 3 * LongestPageLink;

}  // namespace

bool AppendMediaLinkOfLine(std::string_view line, std::string& out) {
    if (line.size() < ShortestPageLink || line.size() > LongestPageLinkBytes) {
        return false;
    }
    // Text longer than any page link does not fit and is refused, which is the right answer for it.
    std::array<char16_t, LongestPageLink> units{};
    const std::optional<std::size_t> length = FromUtf8(line, units);
    if (!length) {
        return false;
    }
    const std::optional<Text> mediaLink = DeriveMediaLink(TextView(units.data(), *length));
    if (!mediaLink) {
        return false;
    }
    AppendUtf8(out, *mediaLink);
    return true;
}

}  // namespace qmz::cli
