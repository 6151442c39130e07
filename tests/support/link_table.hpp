#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "link/derive_media_link.hpp"

namespace qmz::testing_support {

struct LinkCase {
    int lineNumber;  // in the table file, for messages
    Text input;
    std::optional<Text> mediaLink;  // none: the input is no page link
};

// The shared table of texts and their media links (tests/data/link_table.txt), with its
// placeholders filled in from this build's link constants. Throws when the file cannot be read
// or a line is malformed.
std::vector<LinkCase> ReadLinkTable();

}  // namespace qmz::testing_support
