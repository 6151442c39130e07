#pragma once

#include <string>
#include <string_view>

namespace qmz::cli {

// Derives the media link of one input (UTF-8, its line ending already removed) exactly as the
// window derives it from its text box, on UTF-16 code units. On a page link appends the media link
// as UTF-8 to out and gives true; otherwise leaves out as it was and gives false. Bytes that are
// not valid UTF-8 are no page link. Allocates nothing for an input that is no page link.
bool AppendMediaLinkOfLine(std::string_view line, std::string& out);

}  // namespace qmz::cli
