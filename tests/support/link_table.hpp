// The table of texts and media links that the derivation, the windows and qmz-link must agree on
// (tests/data/link_table.txt), as tests/support/expand_link_table.sh fills it in for this build.
#pragma once

#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/text.hpp"

namespace qmz::testing_support {

struct LinkCase {
    Text input;
    std::optional<Text> mediaLink;  // none: the input is no page link
};

// Throws when the filled-in table cannot be read.
inline std::vector<LinkCase> ReadLinkTable() {
    std::ifstream file(QMZ_LINK_TABLE, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<Text> fields(1);  // UTF-16LE, each field ended by a NUL
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit == 0) {
            fields.emplace_back();
        } else {
            fields.back().push_back(unit);
        }
    }
    std::vector<LinkCase> cases;
    for (std::size_t i = 0; i + 2 < fields.size(); i += 2) {
        cases.push_back({fields[i], fields[i + 1].empty() ? std::nullopt : std::optional(fields[i + 1])});
    }
    if (cases.size() < 30) {
        throw std::runtime_error("the link table " QMZ_LINK_TABLE " cannot be read");
    }
    return cases;
}

}  // namespace qmz::testing_support
