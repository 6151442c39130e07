#pragma once

#include <span>
#include <string_view>

#include "cli/file_io.hpp"
#include "cli/line_reader.hpp"

namespace qmz::cli {

// Both write one output line for each input: its media link, or an empty line when it is no page
// link or its media link would hold a line break or split a character, with a message on errors
// that names the input. They give true when every input gave a link.
bool DeriveLines(LineReader& lines, BufferedWriter& out, BufferedWriter& errors);
bool DeriveArguments(std::span<const std::string_view> links, BufferedWriter& out, BufferedWriter& errors);

}  // namespace qmz::cli
