// The table of texts and media links that the derivation, the windows and qmz-link must agree on
// (tests/data/link_table.txt), as tests/support/expand_link_table.sh fills it in for this build.
#pragma once

#include <optional>
#include <vector>

#include "base/text.hpp"

namespace qmz::testing_support {

struct LinkCase {
    Text input;
    std::optional<Text> mediaLink;  // none: the input is no page link
};

inline std::vector<LinkCase> ReadLinkTable() {
    return {
#include QMZ_LINK_TABLE
    };
}

}  // namespace qmz::testing_support
