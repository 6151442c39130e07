#include "cli/derive_inputs.hpp"

#include <array>
#include <charconv>
#include <cstdint>

#include "cli/media_link_of_line.hpp"

namespace qmz::cli {
namespace {

// "qmz-link: line 7: no page link"; formatted in place so that a run of bad input allocates nothing.
void Report(BufferedWriter& errors, std::string_view inputKind, std::uint64_t number, std::string_view problem) {
    std::array<char, 24> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), number);
    std::string& pending = errors.Pending();
    pending.append("qmz-link: ").append(inputKind).append(" ");
    pending.append(digits.data(), end).append(": ").append(problem).append("\n");
    errors.Appended();
}

// Two scans for one byte each (memchr): far cheaper per link than one scan for either byte.
bool HoldsLineBreak(std::string_view text) {
    return text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos;
}

bool DeriveOne(std::string_view input, std::string_view inputKind, std::uint64_t number, BufferedWriter& out,
               BufferedWriter& errors) {
    std::string& pending = out.Pending();
    const std::size_t start = pending.size();
    bool gaveLink = AppendMediaLinkOfLine(input, pending);
    // A video ID may hold a line feed or a carriage return, and its media link then too; such an
    // answer would take two output lines for one input, or end a line early for a CRLF reader.
    if (gaveLink && HoldsLineBreak(std::string_view(pending).substr(start))) {
        pending.resize(start);
        gaveLink = false;
        Report(errors, inputKind, number, "its media link would break the line");
    } else if (!gaveLink) {
        Report(errors, inputKind, number, "no page link");
    }
    pending.push_back('\n');
    out.Appended();
    return gaveLink;
}

}  // namespace

bool DeriveLines(LineReader& lines, BufferedWriter& out, BufferedWriter& errors) {
    bool everyLineGaveLink = true;
    std::uint64_t number = 0;
    while (const std::optional<Line> line = lines.Next()) {
        ++number;
        // An overlong line is far longer than any page link; its bytes are gone, and it is no link.
        const std::string_view input = line->overlong ? std::string_view() : line->bytes;
        everyLineGaveLink &= DeriveOne(input, "line", number, out, errors);
    }
    return everyLineGaveLink;
}

bool DeriveArguments(std::span<const std::string_view> links, BufferedWriter& out, BufferedWriter& errors) {
    bool everyArgumentGaveLink = true;
    std::uint64_t number = 0;
    for (const std::string_view link : links) {
        everyArgumentGaveLink &= DeriveOne(link, "argument", ++number, out, errors);
    }
    return everyArgumentGaveLink;
}

}  // namespace qmz::cli
