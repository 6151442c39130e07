// qmz-link as users run it: a real process, real standard input and real exit statuses.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "link/link_constants.hpp"
#include "link/utf8.hpp"
#include "tests/support/link_table.hpp"

namespace qmz {
namespace {

using namespace std::string_literals;

const std::string Page = ToUtf8(PageLinkPrefix);
const std::string Media = ToUtf8(MediaLinkPrefix);
const std::string Good = Page + "ab12CD34";
const std::string GoodMedia = Media + "ab/ab12CD34.flv";

struct Result {
    std::string out;
    std::string errors;
    int status;  // 128 + the signal's number when a signal ended the process, as a shell says
    bool operator==(const Result&) const = default;
};

void PrintTo(const Result& r, std::ostream* os) {
    *os << "status " << r.status << ", out " << testing::PrintToString(r.out) << ", errors " << testing::PrintToString(r.errors);
}

// Starts argv with standard input, output and error on these descriptors.
pid_t Spawn(std::vector<std::string> argv, int in, int out, int errors) {
    std::vector<char*> pointers;
    for (std::string& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(errors, STDERR_FILENO);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    return child;
}

// Through temporary files, so that no size of input or output can block; the input is written
// `times` over. Output goes to outDescriptor if given. maxResidentKiB, if given, gets the peak memory.
Result QmzLink(std::vector<std::string> arguments, const std::string& input = {}, const char* program = QMZ_LINK_PROGRAM,
               int times = 1, int outDescriptor = -1, long* maxResidentKiB = nullptr) {
    arguments.insert(arguments.begin(), program);
    using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
    const File in(std::tmpfile(), std::fclose), out(std::tmpfile(), std::fclose), errors(std::tmpfile(), std::fclose);
    for (int i = 0; i < times; ++i) {
        std::fwrite(input.data(), 1, input.size(), in.get());
    }
    std::rewind(in.get());
    int status = -1;
    rusage usage{};
    wait4(Spawn(arguments, fileno(in.get()), outDescriptor >= 0 ? outDescriptor : fileno(out.get()), fileno(errors.get())),
          &status, 0, &usage);
    if (maxResidentKiB) {
        *maxResidentKiB = usage.ru_maxrss;
    }
    Result result{{}, {}, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
    for (auto [file, text] : {std::pair{out.get(), &result.out}, std::pair{errors.get(), &result.errors}}) {
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;) {
            *text += static_cast<char>(c);
        }
    }
    return result;
}

std::string NoLink(const std::string& kind, const std::vector<int>& numbers, const std::string& problem = "no page link") {
    std::string messages;
    for (const int number : numbers) {
        messages += "qmz-link: " + kind + " " + std::to_string(number) + ": " + problem + "\n";
    }
    return messages;
}

// The table the window's test derives too: as arguments, and as lines ending in LF or CRLF.
TEST(QmzLinkProcess, DerivesTheSharedTableAsTheWindowDoes) {
    std::vector<std::string> arguments{"--"};
    std::string out;
    std::vector<int> noLink;
    for (const testing_support::LinkCase& linkCase : testing_support::ReadLinkTable()) {
        arguments.push_back(ToUtf8(linkCase.input));
        // UTF-8 has no form for a lone surrogate that a window result may hold; qmz-link writes U+FFFD.
        out += (linkCase.mediaLink ? ToUtf8(*linkCase.mediaLink) : "") + "\n";
        if (!linkCase.mediaLink) {
            noLink.push_back(static_cast<int>(arguments.size() - 1));
        }
    }
    EXPECT_EQ(QmzLink(arguments), (Result{out, NoLink("argument", noLink), 1}));
    for (const std::string ending : {"\n", "\r\n"}) {
        std::string input;
        for (auto line = arguments.begin() + 1; line != arguments.end(); ++line) {
            input += *line + ending;
        }
        EXPECT_EQ(QmzLink({}, input), (Result{out, NoLink("line", noLink), 1})) << testing::PrintToString(ending);
    }
}

TEST(QmzLinkProcess, WritesOneLineForEachInputAndExitsWithItsStatus) {
    const std::string breaksLine = "its media link would break the line";
    const std::tuple<std::vector<std::string>, std::string, Result, const char*> cases[] = {
        // Standard input, line by line: the last line needs no LF, only one CR goes with the LF,
        // a NUL is a character, and a line that is not UTF-8 is no link.
        {{}, "", {"", "", 0}, QMZ_LINK_PROGRAM},
        {{}, Good + "\n" + Good, {GoodMedia + "\n" + GoodMedia + "\n", "", 0}, QMZ_LINK_PROGRAM},
        {{}, Good + "\r\r\n", {"\n", NoLink("line", {1}), 1}, QMZ_LINK_PROGRAM},
        {{}, Page + "ab\0CD345\n"s, {Media + "ab/ab\0CD345.flv\n"s, "", 0}, QMZ_LINK_PROGRAM},
        {{}, Page + "ab12CD3\xFF\n" + Good, {"\n" + GoodMedia + "\n", NoLink("line", {1}), 1}, QMZ_LINK_PROGRAM},
        {{}, "--help\n", {"\n", NoLink("line", {1}), 1}, QMZ_LINK_PROGRAM},
        // Arguments, taken exactly and in order; standard input is left alone.
        {{Good, "nonsense", "", "-"}, "nonsense\n", {GoodMedia + "\n\n\n\n", NoLink("argument", {2, 3, 4}), 1}, QMZ_LINK_PROGRAM},
        {{"--", "-x", "--", Good}, "", {"\n\n" + GoodMedia + "\n", NoLink("argument", {1, 2}), 1}, QMZ_LINK_PROGRAM},
        // A video ID may hold LF or CR; its media link would take two lines, or end one early.
        {{Page + "ab12CD3\n", Page + "ab12CD3\r"}, "", {"\n\n", NoLink("argument", {1, 2}, breaksLine), 1}, QMZ_LINK_PROGRAM},
        {{}, Page + "ab12CD3\r\r\n", {"\n", NoLink("line", {1}, breaksLine), 1}, QMZ_LINK_PROGRAM},
        // Options before "--"; the first decides and nothing is derived.
        {{Good, "-x", "--version"}, "", {"", "qmz-link: unknown option '-x'\nTry 'qmz-link --help' for more information.\n", 2},
         QMZ_LINK_PROGRAM},
        // Input or output that fails is trouble, not a line without a link: a folder opens but
        // cannot be read, and /dev/full takes no bytes.
        {{"-c", "exec \"$0\" < /", QMZ_LINK_PROGRAM}, "", {"", "qmz-link: cannot read the input: Is a directory\n", 2}, "/bin/sh"},
        {{"-c", "exec \"$0\" \"$1\" > /dev/full", QMZ_LINK_PROGRAM, Good}, "",
         {"", "qmz-link: cannot write the output: No space left on device\n", 2}, "/bin/sh"},
    };
    for (const auto& [arguments, input, expected, program] : cases) {
        EXPECT_EQ(QmzLink(arguments, input, program), expected) << testing::PrintToString(arguments) << " "
                                                                << testing::PrintToString(input);
    }
}

TEST(QmzLinkProcess, AHugeLineIsOneLineReadInConstantMemory) {
    constexpr int MiB = 128;
    long maxResidentKiB = 0;
    EXPECT_EQ(QmzLink({}, std::string(1 << 20, '4'), QMZ_LINK_PROGRAM, MiB, -1, &maxResidentKiB),
              (Result{"\n", NoLink("line", {1}), 1}));
    EXPECT_LT(maxResidentKiB, MiB * 1024 / 2) << "KiB at most in qmz-link, for a line of " << MiB << " MiB";
}

// qmz-link < links.txt | head -1: once the reader has gone, the next write ends qmz-link the usual
// Unix way, by SIGPIPE and silently; where SIGPIPE is ignored, that write fails like any other.
TEST(QmzLinkProcess, EndsBySigpipeWhenItsReaderHasGone) {
    for (const auto& [disposition, expected] :
         {std::pair{SIG_DFL, Result{"", "", 128 + SIGPIPE}},
          std::pair{SIG_IGN, Result{"", "qmz-link: cannot write the output: Broken pipe\n", 2}}}) {
        int ends[2];
        ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
        close(ends[0]);
        std::signal(SIGPIPE, disposition);  // what qmz-link inherits through exec
        EXPECT_EQ(QmzLink({Good}, {}, QMZ_LINK_PROGRAM, 1, ends[1]), expected);
        close(ends[1]);
    }
    std::signal(SIGPIPE, SIG_DFL);
}

TEST(QmzLinkProcess, AnswersEachLineBeforeWaitingForTheNext) {
    int toChild[2];
    int fromChild[2];
    ASSERT_EQ(pipe2(toChild, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(fromChild, O_CLOEXEC), 0);
    const pid_t child = Spawn({QMZ_LINK_PROGRAM}, toChild[0], fromChild[1], STDERR_FILENO);
    close(toChild[0]);
    close(fromChild[1]);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(write(toChild[1], (Good + "\n").data(), Good.size() + 1), static_cast<ssize_t>(Good.size() + 1));
        std::string answer;
        while (!answer.ends_with('\n')) {
            pollfd ready{fromChild[0], POLLIN, 0};
            ASSERT_EQ(poll(&ready, 1, 20'000), 1) << "no answer while the input stays open";
            char bytes[256];
            const ssize_t count = read(fromChild[0], bytes, sizeof bytes);
            ASSERT_GT(count, 0);
            answer.append(bytes, static_cast<std::size_t>(count));
        }
        EXPECT_EQ(answer, GoodMedia + "\n");
    }
    close(toChild[1]);
    close(fromChild[0]);
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace qmz
