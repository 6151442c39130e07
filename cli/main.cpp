#include <unistd.h>

#include <cstdio>
#include <exception>
#include <span>
#include <vector>

#include "base/standard_streams_posix.hpp"
#include "cli/command_line.hpp"
#include "cli/derive_inputs.hpp"
#include "cli/file_io.hpp"
#include "cli/line_reader.hpp"
#include "resources/version.hpp"

namespace {

constexpr int ExitEveryLink = 0;
constexpr int ExitSomeNoLink = 1;
constexpr int ExitTrouble = 2;

constexpr std::size_t InputBufferBytes = 256 * 1024;
constexpr std::size_t OutputFlushBytes = 64 * 1024;

// Also the manual page (help2man), so it says all a user needs.
constexpr const char* HelpText =
    "Usage: qmz-link [LINK]...\n"
    "Writes, for each video page LINK, the direct link of its video file, one line\n"
    "each. With no LINK, reads page links from standard input, one a line.\n"
    "\n"
    "An input that is no page link gives an empty line, and a message on standard\n"
    "error that names its argument or line number; so does one whose media link\n"
    "would hold a line feed or a carriage return, or would split a character in\n"
    "two (its bucket, the video ID's first two UTF-16 code units, can end inside\n"
    "an emoji; UTF-8 has no form for half of one). Input and output are UTF-8; a\n"
    "line's LF or CRLF ending is not part of the link, and nothing else is trimmed.\n"
    "Put -- before a LINK that begins with '-'.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "Exit status: 0 when every input gave a link, 1 when any did not,\n"
    "2 for a usage error or when input or output fails.\n"
    "\n"
    "When the reader of the output goes away (qmz-link < links.txt | head -1),\n"
    "qmz-link ends at its next write by SIGPIPE, silently, as cat does; where SIGPIPE\n"
    "is ignored, that write fails instead, with a message and exit status 2.\n";

// Hands out what is gathered before the reader may have to wait for more input, so that a person
// typing at a terminal or a program talking through a pipe sees each answer without delay, while a
// big file still gets written in large blocks.
class FlushBeforeWaiting final : public qmz::cli::ByteSource {
public:
    FlushBeforeWaiting(qmz::cli::ByteSource& source, qmz::cli::BufferedWriter& out, qmz::cli::BufferedWriter& errors)
        : source_(source), out_(out), errors_(errors) {}
    std::size_t Read(std::span<char> into) override {
        out_.Flush();
        errors_.Flush();
        return source_.Read(into);
    }

private:
    qmz::cli::ByteSource& source_;
    qmz::cli::BufferedWriter& out_;
    qmz::cli::BufferedWriter& errors_;
};

int Run(const qmz::cli::CommandLine& command, qmz::cli::BufferedWriter& out, qmz::cli::BufferedWriter& errors) {
    using Request = qmz::cli::CommandLine::Request;
    switch (command.request) {
        case Request::ShowHelp:
            out.Pending().append(HelpText);
            return ExitEveryLink;
        case Request::ShowVersion:
            out.Pending().append("qmz-link " QMZ_VERSION_TEXT "\n" QMZ_VERSION_NOTICE);
            return ExitEveryLink;
        case Request::UsageError:
            errors.Pending().append("qmz-link: ").append(command.problem).append(
                "\nTry 'qmz-link --help' for more information.\n");
            return ExitTrouble;
        case Request::DeriveArguments:
            return qmz::cli::DeriveArguments(command.links, out, errors) ? ExitEveryLink : ExitSomeNoLink;
        case Request::DeriveStandardInput: {
            qmz::cli::FileSource standardInput(STDIN_FILENO);
            FlushBeforeWaiting source(standardInput, out, errors);
            std::vector<char> buffer(InputBufferBytes);
            qmz::cli::LineReader lines(source, buffer);
            return qmz::cli::DeriveLines(lines, out, errors) ? ExitEveryLink : ExitSomeNoLink;
        }
    }
    return ExitTrouble;
}

}  // namespace

int main(int argc, char** argv) {
    qmz::FillClosedStandardStreams();
    qmz::cli::BufferedWriter out(STDOUT_FILENO, OutputFlushBytes);
    qmz::cli::BufferedWriter errors(STDERR_FILENO, OutputFlushBytes);
    try {
        // A program started with no arguments at all, not even its name, has nothing to parse.
        const std::span<const char* const> arguments =
            argc > 0 ? std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1))
                     : std::span<const char* const>();
        const qmz::cli::CommandLine command = qmz::cli::ParseCommandLine(arguments);
        const int status = Run(command, out, errors);
        out.Flush();
        errors.Flush();
        return status;
    } catch (const std::exception& failure) {
        // The message goes straight out: the buffered writers may be what failed.
        try {
            errors.Flush();
        } catch (const std::exception&) {
        }
        std::fprintf(stderr, "qmz-link: %s\n", failure.what());
        return ExitTrouble;
    }
}
