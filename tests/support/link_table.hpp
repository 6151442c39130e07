// The table of texts and media links that the window and qmz-link must agree on
// (tests/data/link_table.txt, its format described there), with its placeholders filled in from
// this build's link constants.
#pragma once

#include <algorithm>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"
#include "link/utf8.hpp"

namespace qmz::testing_support {

struct LinkCase {
    int lineNumber;  // in the table file, for messages
    Text input;
    std::optional<Text> mediaLink;  // none: the input is no page link
};

// Fills in placeholders and escapes; a surrogate given by \u{...} stays alone on purpose.
inline Text ExpandTableField(const std::string& field, int lineNumber) {
    const Text text = FromUtf8(field).value_or(u"\\");  // not UTF-8: the unknown escape below
    const std::pair<TextView, Text> replacements[] = {
        {u"{page}", Text(PageLinkPrefix)}, {u"{www}", Text(PageLinkPrefixWww)}, {u"{media}", Text(MediaLinkPrefix)},
        {u"{host}", QMZ_SITE_HOST},        {u"\\t", u"\t"},                     {u"\\\\", u"\\"},
    };
    Text out;
    for (TextView rest = text; !rest.empty();) {
        const auto* replacement =
            std::ranges::find_if(replacements, [&](const auto& r) { return rest.starts_with(r.first); });
        if (replacement != std::end(replacements)) {
            out += replacement->second;
            rest.remove_prefix(replacement->first.size());
        } else if (rest.starts_with(u"\\u{") && rest.find(u'}') != TextView::npos) {
            char32_t codePoint = std::stoul(ToUtf8(rest.substr(3, rest.find(u'}') - 3)), nullptr, 16);
            if (codePoint >= 0x10000) {
                codePoint -= 0x10000;
                out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
                codePoint = 0xDC00 + (codePoint & 0x3FF);
            }
            out += static_cast<char16_t>(codePoint);
            rest.remove_prefix(rest.find(u'}') + 1);
        } else if (rest.starts_with(u"\\")) {
            throw std::runtime_error(QMZ_LINK_TABLE ":" + std::to_string(lineNumber) + ": not UTF-8, or an unknown escape");
        } else {
            out += rest.front();
            rest.remove_prefix(1);
        }
    }
    return out;
}

// Throws when the file cannot be read or a line is malformed.
inline std::vector<LinkCase> ReadLinkTable() {
    std::ifstream file(QMZ_LINK_TABLE, std::ios::binary);
    std::vector<LinkCase> cases;
    int lineNumber = 0;
    for (std::string line; std::getline(file, line);) {
        ++lineNumber;
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            throw std::runtime_error(QMZ_LINK_TABLE ":" + std::to_string(lineNumber) + ": no tab after the text");
        }
        const Text mediaLink = ExpandTableField(line.substr(tab + 1), lineNumber);
        cases.push_back({lineNumber, ExpandTableField(line.substr(0, tab), lineNumber),
                         mediaLink.empty() ? std::nullopt : std::optional(mediaLink)});
    }
    if (cases.empty()) {
        throw std::runtime_error("no cases in " QMZ_LINK_TABLE " or it cannot be read");
    }
    return cases;
}

}  // namespace qmz::testing_support
