#include "tests/support/link_table.hpp"

#include <fstream>
#include <stdexcept>
#include <string>

#include "link/link_constants.hpp"
#include "link/utf8.hpp"

namespace qmz::testing_support {
namespace {

std::runtime_error Malformed(int lineNumber, const std::string& why) {
    return std::runtime_error(std::string(QMZ_LINK_TABLE) + ":" + std::to_string(lineNumber) + ": " + why);
}

Text SiteHost() {
    constexpr TextView scheme = u"http://";
    constexpr TextView path = u"/play:";
    return Text(PageLinkPrefix.substr(scheme.size(), PageLinkPrefix.size() - scheme.size() - path.size()));
}

void AppendCodePoint(Text& out, char32_t codePoint) {
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(codePoint));
    }
}

// Fills in placeholders and escapes; a surrogate given by \u{...} stays alone on purpose.
Text Expand(TextView field, int lineNumber) {
    const std::pair<TextView, Text> placeholders[] = {
        {u"{page}", Text(PageLinkPrefix)},
        {u"{www}", Text(PageLinkPrefixWww)},
        {u"{media}", Text(MediaLinkPrefix)},
        {u"{host}", SiteHost()},
    };
    Text out;
    std::size_t i = 0;
    while (i < field.size()) {
        bool replaced = false;
        for (const auto& [name, value] : placeholders) {
            if (field.substr(i).starts_with(name)) {
                out += value;
                i += name.size();
                replaced = true;
                break;
            }
        }
        if (replaced) {
            continue;
        }
        if (field[i] != u'\\') {
            out.push_back(field[i++]);
            continue;
        }
        const TextView rest = field.substr(i + 1);
        if (rest.starts_with(u"t")) {
            out.push_back(u'\t');
            i += 2;
        } else if (rest.starts_with(u"\\")) {
            out.push_back(u'\\');
            i += 2;
        } else if (rest.starts_with(u"u{")) {
            const std::size_t close = rest.find(u'}');
            if (close == TextView::npos) {
                throw Malformed(lineNumber, "\\u{ without }");
            }
            const std::string digits = ToUtf8(rest.substr(2, close - 2));
            AppendCodePoint(out, static_cast<char32_t>(std::stoul(digits, nullptr, 16)));
            i += 1 + close + 1;
        } else {
            throw Malformed(lineNumber, "unknown escape");
        }
    }
    return out;
}

}  // namespace

std::vector<LinkCase> ReadLinkTable() {
    std::ifstream file(QMZ_LINK_TABLE, std::ios::binary);
    if (!file) {
        throw std::runtime_error(std::string("cannot read ") + QMZ_LINK_TABLE);
    }
    std::vector<LinkCase> cases;
    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            throw Malformed(lineNumber, "no tab between text and media link");
        }
        const std::optional<Text> input = FromUtf8(std::string_view(line).substr(0, tab));
        const std::optional<Text> mediaLink = FromUtf8(std::string_view(line).substr(tab + 1));
        if (!input || !mediaLink) {
            throw Malformed(lineNumber, "not UTF-8");
        }
        LinkCase linkCase{lineNumber, Expand(*input, lineNumber), std::nullopt};
        if (!mediaLink->empty()) {
            linkCase.mediaLink = Expand(*mediaLink, lineNumber);
        }
        cases.push_back(std::move(linkCase));
    }
    if (cases.empty()) {
        throw std::runtime_error(std::string(QMZ_LINK_TABLE) + " holds no cases");
    }
    return cases;
}

}  // namespace qmz::testing_support
