// qmz-link as users run it: a real process, real standard input and real exit statuses.
#include <gmock/gmock.h>
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
const std::string PageWww = ToUtf8(PageLinkPrefixWww);
const std::string Media = ToUtf8(MediaLinkPrefix);
const std::string Good = Page + "ab12CD34";
const std::string GoodMedia = Media + "ab/ab12CD34.flv";
const std::string UsageError = "\nTry 'qmz-link --help' for more information.\n";
const std::string BreaksLine = "its media link would break the line";

struct Result {
    std::string out;
    std::string errors;
    int status;             // 128 + the signal's number when a signal ended the process, as a shell says
    long maxResidentKiB{};  // not compared
    bool operator==(const Result& o) const { return std::tie(out, errors, status) == std::tie(o.out, o.errors, o.status); }
};

void PrintTo(const Result& r, std::ostream* os) {
    *os << "status " << r.status << ", out " << testing::PrintToString(r.out) << ", errors "
        << testing::PrintToString(r.errors);
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

// Through temporary files rather than pipes, so that no size of input or output can block. The input
// is written times over, so that a huge one need not be held here. Output goes to outDescriptor if given.
Result QmzLink(std::vector<std::string> arguments, const std::string& input = {},
               const char* program = QMZ_LINK_PROGRAM, int times = 1, int outDescriptor = -1) {
    arguments.insert(arguments.begin(), program);
    using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
    const File in(std::tmpfile(), std::fclose), out(std::tmpfile(), std::fclose), errors(std::tmpfile(), std::fclose);
    for (int i = 0; i < times; ++i) {
        std::fwrite(input.data(), 1, input.size(), in.get());
    }
    std::fflush(in.get());
    std::rewind(in.get());
    int status = -1;
    rusage usage{};
    const int outTo = outDescriptor >= 0 ? outDescriptor : fileno(out.get());
    wait4(Spawn(arguments, fileno(in.get()), outTo, fileno(errors.get())), &status, 0, &usage);
    Result result{{}, {}, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), usage.ru_maxrss};
    for (auto [file, text] : {std::pair{out.get(), &result.out}, std::pair{errors.get(), &result.errors}}) {
        std::rewind(file);
        char bytes[1 << 16];
        while (const std::size_t count = std::fread(bytes, 1, sizeof bytes, file)) {
            text->append(bytes, count);
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
    std::vector<std::string> inputs;
    std::string out;
    std::vector<int> noLink;
    for (const testing_support::LinkCase& linkCase : testing_support::ReadLinkTable()) {
        inputs.push_back(ToUtf8(linkCase.input));
        // UTF-8 has no form for a lone surrogate that a window result may hold; qmz-link writes U+FFFD.
        out += (linkCase.mediaLink ? ToUtf8(*linkCase.mediaLink) : "") + "\n";
        if (!linkCase.mediaLink) {
            noLink.push_back(static_cast<int>(inputs.size()));
        }
    }
    std::vector<std::string> arguments{"--"};
    arguments.insert(arguments.end(), inputs.begin(), inputs.end());
    EXPECT_EQ(QmzLink(arguments), (Result{out, NoLink("argument", noLink), 1}));
    for (const std::string ending : {"\n", "\r\n"}) {
        std::string input;
        for (const std::string& line : inputs) {
            input += line + ending;
        }
        EXPECT_EQ(QmzLink({}, input), (Result{out, NoLink("line", noLink), 1})) << testing::PrintToString(ending);
    }
}

struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    Result expected;
    const char* program = QMZ_LINK_PROGRAM;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class QmzLinkTest : public testing::TestWithParam<Case> {};

TEST_P(QmzLinkTest, WritesOneLineForEachInputAndExitsWithItsStatus) {
    EXPECT_EQ(QmzLink(GetParam().arguments, GetParam().input, GetParam().program), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QmzLinkTest,
    testing::Values(
        // Standard input, line by line.
        Case{"empty_input_gives_nothing", {}, "", {"", "", 0}},
        Case{"last_line_without_lf", {}, Good + "\n" + Good, {GoodMedia + "\n" + GoodMedia + "\n", "", 0}},
        Case{"only_one_cr_goes_with_the_lf", {}, Good + "\r\r\n", {"\n", NoLink("line", {1}), 1}},
        Case{"invalid_utf8_is_no_link_and_the_rest_goes_on", {}, Good + "\n" + Page + "ab12CD3\xFF\n" + Good + "\n",
             {GoodMedia + "\n\n" + GoodMedia + "\n", NoLink("line", {2}), 1}},
        Case{"a_nul_byte_is_a_character", {}, Page + "ab\0CD345\n"s, {Media + "ab/ab\0CD345.flv\n"s, "", 0}},
        Case{"lines_that_look_like_options_are_links", {}, "--help\n-x\n", {"\n\n", NoLink("line", {1, 2}), 1}},
        Case{"a_lone_double_dash_reads_standard_input", {"--"}, Good + "\n", {GoodMedia + "\n", "", 0}},
        // Arguments, taken exactly, in order; standard input is left alone.
        Case{"arguments_in_order_with_their_numbers",
             {Good, "nonsense", PageWww + "zz999999", "", "-"},
             "",
             {GoodMedia + "\n\n" + Media + "zz/zz999999.flv\n\n\n", NoLink("argument", {2, 4, 5}), 1}},
        Case{"every_argument_gave_a_link", {Good, Good}, "nonsense\n", {GoodMedia + "\n" + GoodMedia + "\n", "", 0}},
        Case{"arguments_keep_their_line_endings", {Good + "\r\n", Good + "\n"}, "", {"\n\n", NoLink("argument", {1, 2}), 1}},
        // A video ID may hold LF or CR; its media link would take two lines, or end one early.
        Case{"a_media_link_that_breaks_the_line_is_no_answer", {Page + "ab12CD3\n", Page + "ab12CD3\r", Good}, "",
             {"\n\n" + GoodMedia + "\n", NoLink("argument", {1, 2}, BreaksLine), 1}},
        Case{"a_cr_left_in_a_line_is_no_answer", {}, Page + "ab12CD3\r\r\n", {"\n", NoLink("line", {1}, BreaksLine), 1}},
        Case{"double_dash_ends_options_once", {"--", "-x", "--help", "--", Good},
             "", {"\n\n\n" + GoodMedia + "\n", NoLink("argument", {1, 2, 3}), 1}},
        // Options anywhere before "--"; the first decides and nothing is derived.
        Case{"version", {"--version"}, "", {"qmz-link 1.00\n", "", 0}},
        Case{"unknown_option", {Good, "-x", "--version"}, "", {"", "qmz-link: unknown option '-x'" + UsageError, 2}},
        // Input or output that fails is trouble, not a line without a link: a folder opens but
        // cannot be read, and /dev/full takes no bytes.
        Case{"unreadable_input", {"-c", "exec \"$0\" < /", QMZ_LINK_PROGRAM}, "",
             {"", "qmz-link: cannot read the input: Is a directory\n", 2}, "/bin/sh"},
        Case{"unwritable_output", {"-c", "exec \"$0\" \"$1\" > /dev/full", QMZ_LINK_PROGRAM, Good}, "",
             {"", "qmz-link: cannot write the output: No space left on device\n", 2}, "/bin/sh"}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(QmzLinkProcess, AHugeLineIsOneLineReadInConstantMemory) {
    constexpr int MiB = 128;
    const Result result = QmzLink({}, std::string(1 << 20, '4'), QMZ_LINK_PROGRAM, MiB);
    EXPECT_EQ(result, (Result{"\n", NoLink("line", {1}), 1}));
    EXPECT_LT(result.maxResidentKiB, MiB * 1024 / 2) << "KiB at most in qmz-link, for a line of " << MiB << " MiB";
}

TEST(QmzLinkProcess, StreamsManyLinesAcrossItsBuffers) {
    // Lines of both prefixes and of no link, with both endings, cross every buffer boundary.
    constexpr int Lines = 300'000;
    std::string input;
    std::string expected;
    for (int i = 0; i < Lines; ++i) {
        char id[9];
        std::snprintf(id, sizeof id, "%08d", i);
        input += i % 3 == 0 ? Page + id + "\n" : i % 3 == 1 ? PageWww + id + "\r\n" : Page + id + "/\n";
        expected += i % 3 == 2 ? "\n" : Media + std::string(id, 2) + "/" + id + ".flv\n";
    }
    const Result result = QmzLink({}, input);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out == expected) << "output differs from the expected " << Lines << " lines";
    EXPECT_THAT(result.errors, testing::EndsWith(NoLink("line", {Lines})));
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
        const std::string line = Good + "\n";
        ASSERT_EQ(write(toChild[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
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
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace qmz
