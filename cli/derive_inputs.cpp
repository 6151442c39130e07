#include "cli/derive_inputs.hpp"

#include <array>
#include <optional>
#include <string>

#include "link/derive_media_link.hpp"

namespace qmz::cli {
namespace {

// "qmz-link: line 7", the start of a message about the input being derived. The number is kept in
// decimal digits and counted up in place, far cheaper than formatting it for every message.
class InputName {
public:
    explicit InputName(std::string_view kind) : text_("qmz-link: " + std::string(kind) + " 0"), digits_(text_.size() - 1) {}
    void Next() {
        for (std::size_t at = text_.size(); at-- > digits_;) {
            if (text_[at] != '9') {
                ++text_[at];
                return;
            }
            text_[at] = '0';
        }
        text_.insert(digits_, 1, '1');
    }
    std::string_view Text() const { return text_; }

private:
    std::string text_;
    std::size_t digits_;  // where the number starts
};

// Why an input gives no output line of its own, or nothing when it gives its media link.
std::optional<std::string_view> ProblemOf(const Utf8MediaLink& link, std::string_view input) {
    switch (link.outcome) {
        case Utf8Derivation::NoPageLink:
            return "no page link";
        case Utf8Derivation::SplitCharacter:
            return "its media link would split a character";
        case Utf8Derivation::MediaLink:
            break;
    }
    // A video ID may hold a line feed or a carriage return, and its media link then too; such an
    // answer would take two output lines for one input, or end a line early for a CRLF reader. Two
    // scans for one byte each (memchr) are far cheaper than one for either.
    if (input.find('\n') != std::string_view::npos || input.find('\r') != std::string_view::npos) {
        return "its media link would break the line";
    }
    return std::nullopt;
}

bool DeriveOne(std::string_view input, const InputName& name, BufferedWriter& out, BufferedWriter& errors) {
    std::array<char, LongestUtf8MediaLink> mediaLink;
    const Utf8MediaLink link = DeriveMediaLinkFromUtf8(input, mediaLink);
    const std::optional<std::string_view> problem = ProblemOf(link, input);
    std::string& pending = out.Pending();
    if (problem) {
        // Appended in place, so that a run of bad input allocates nothing.
        errors.Pending().append(name.Text()).append(": ").append(*problem).append("\n");
        errors.Appended();
    } else {
        pending.append(mediaLink.data(), link.bytes);
    }
    pending.push_back('\n');
    out.Appended();
    return !problem;
}

}  // namespace

bool DeriveLines(LineReader& lines, BufferedWriter& out, BufferedWriter& errors) {
    bool everyLineGaveLink = true;
    InputName name("line");
    while (const std::optional<Line> line = lines.Next()) {
        name.Next();
        // An overlong line is far longer than any page link; its bytes are gone, and it is no link.
        const std::string_view input = line->overlong ? std::string_view() : line->bytes;
        everyLineGaveLink &= DeriveOne(input, name, out, errors);
    }
    return everyLineGaveLink;
}

bool DeriveArguments(std::span<const std::string_view> links, BufferedWriter& out, BufferedWriter& errors) {
    bool everyArgumentGaveLink = true;
    InputName name("argument");
    for (const std::string_view link : links) {
        name.Next();
        everyArgumentGaveLink &= DeriveOne(link, name, out, errors);
    }
    return everyArgumentGaveLink;
}

}  // namespace qmz::cli
