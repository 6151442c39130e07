#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "link/link_constants.hpp"
#include "link/utf8.hpp"
#include "tests/support/link_table.hpp"
#include "tests/support/run_process.hpp"

extern char** environ;

namespace qmz {
namespace {

using namespace std::string_literals;
using testing_support::ProcessResult;
using testing_support::RunProcess;

const std::string Page = ToUtf8(PageLinkPrefix);
const std::string PageWww = ToUtf8(PageLinkPrefixWww);
const std::string Media = ToUtf8(MediaLinkPrefix);
const std::string Good = Page + "ab12CD34";
const std::string GoodMedia = Media + "ab/ab12CD34.flv";

ProcessResult QmzLink(const std::vector<std::string>& arguments, const std::string& input = {}) {
    return RunProcess(QMZ_LINK_PROGRAM, arguments, input);
}

std::string NoLinkMessages(const char* kind, std::initializer_list<int> numbers) {
    std::string messages;
    for (const int number : numbers) {
        messages += "qmz-link: "s + kind + " " + std::to_string(number) + ": no page link\n";
    }
    return messages;
}

// --- The shared table: the window's tests derive the same texts and expect the same links.

struct TableRun {
    std::vector<std::string> inputs;
    std::string expectedOut;
    std::vector<int> noLinkNumbers;
};

TableRun ReadTable() {
    TableRun run;
    int number = 0;
    for (const auto& linkCase : testing_support::ReadLinkTable()) {
        ++number;
        run.inputs.push_back(ToUtf8(linkCase.input));
        // UTF-8 has no form for a lone surrogate that a window result may hold, so the link is
        // compared in the form qmz-link can write.
        run.expectedOut += (linkCase.mediaLink ? ToUtf8(*linkCase.mediaLink) : "") + "\n";
        if (!linkCase.mediaLink) {
            run.noLinkNumbers.push_back(number);
        }
    }
    return run;
}

std::string Messages(const char* kind, const std::vector<int>& numbers) {
    std::string messages;
    for (const int number : numbers) {
        messages += NoLinkMessages(kind, {number});
    }
    return messages;
}

TEST(QmzLinkProcess, DerivesTheSharedTableAsArguments) {
    const TableRun table = ReadTable();
    std::vector<std::string> arguments{"--"};
    arguments.insert(arguments.end(), table.inputs.begin(), table.inputs.end());
    const ProcessResult result = QmzLink(arguments);
    EXPECT_EQ(result.out, table.expectedOut);
    EXPECT_EQ(result.errors, Messages("argument", table.noLinkNumbers));
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(QmzLinkProcess, DerivesTheSharedTableFromStandardInputWithLfOrCrlf) {
    const TableRun table = ReadTable();
    for (const std::string ending : {"\n", "\r\n"}) {
        std::string input;
        for (const std::string& line : table.inputs) {
            input += line + ending;
        }
        const ProcessResult result = QmzLink({}, input);
        EXPECT_EQ(result.out, table.expectedOut) << testing::PrintToString(ending);
        EXPECT_EQ(result.errors, Messages("line", table.noLinkNumbers));
        EXPECT_EQ(result.exitStatus, 1);
    }
}

// --- Standard input, line by line.

struct InputCase {
    const char* name;
    std::string input;
    std::string out;
    std::vector<int> noLinkLines;
};

void PrintTo(const InputCase& c, std::ostream* os) {
    *os << c.name;
}

class QmzLinkInputTest : public testing::TestWithParam<InputCase> {};

TEST_P(QmzLinkInputTest, WritesOneLineForEachLineRead) {
    const InputCase& c = GetParam();
    const ProcessResult result = QmzLink({}, c.input);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.errors, Messages("line", c.noLinkLines));
    EXPECT_EQ(result.exitStatus, c.noLinkLines.empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QmzLinkInputTest,
    testing::Values(
        InputCase{"empty_input_gives_nothing", "", "", {}},
        InputCase{"one_link", Good + "\n", GoodMedia + "\n", {}},
        InputCase{"crlf_ending_is_not_part_of_the_link", Good + "\r\n", GoodMedia + "\n", {}},
        InputCase{"last_line_without_lf", Good + "\n" + Good, GoodMedia + "\n" + GoodMedia + "\n", {}},
        InputCase{"an_empty_line_is_no_link", "\n", "\n", {1}},
        InputCase{"a_cr_without_lf_is_part_of_the_text", Good + "\r", "\n", {1}},
        InputCase{"only_one_cr_goes_with_the_lf", Good + "\r\r\n", "\n", {1}},
        InputCase{"nothing_else_is_trimmed", " " + Good + "\n" + Good + " \n" + Good + "\t\n", "\n\n\n", {1, 2, 3}},
        InputCase{"invalid_utf8_line_is_no_link_and_the_rest_goes_on",
                  Good + "\n" + Page + "ab12CD3\xFF\n" + Good + "\n", GoodMedia + "\n\n" + GoodMedia + "\n", {2}},
        InputCase{"a_nul_byte_is_a_character", Page + "ab\0CD345\n"s, Media + "ab/ab\0CD345.flv\n"s, {}},
        InputCase{"a_nul_byte_in_the_prefix_is_no_link", "\0"s + Page.substr(1) + "ab12CD34\n", "\n", {1}},
        InputCase{"a_huge_line_counts_as_one_line", std::string(3'000'000, 'x') + "\n" + Good + "\n",
                  "\n" + GoodMedia + "\n", {1}},
        InputCase{"a_huge_page_link_lookalike_is_no_link", Good + std::string(1'000'000, '4') + "\n" + Good,
                  "\n" + GoodMedia + "\n", {1}},
        InputCase{"lines_that_look_like_options_are_links_to_derive", "--help\n-x\n", "\n\n", {1, 2}}),
    [](const testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

TEST(QmzLinkProcess, StreamsManyLinesAcrossItsBuffers) {
    // Lines of both prefixes and of no link, with both endings, cross every buffer boundary.
    constexpr int Lines = 300'000;
    std::string input;
    std::string expected;
    for (int i = 0; i < Lines; ++i) {
        char id[9];
        std::snprintf(id, sizeof id, "%08d", i);
        switch (i % 3) {
            case 0:
                input += Page + id + "\n";
                break;
            case 1:
                input += PageWww + id + "\r\n";
                break;
            default:
                input += Page + id + "/\n";
                break;
        }
        expected += i % 3 == 2 ? "\n" : Media + std::string(id, 2) + "/" + id + ".flv\n";
    }
    const ProcessResult result = QmzLink({}, input);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(result.out == expected) << "output differs from the expected " << Lines << " lines";
    EXPECT_TRUE(result.errors.ends_with(NoLinkMessages("line", {Lines})));
}

// --- Arguments, options and exit statuses.

TEST(QmzLinkProcess, ArgumentsInOrderWithTheirNumbersInMessages) {
    const ProcessResult result = QmzLink({Good, "nonsense", PageWww + "zz999999", ""});
    EXPECT_EQ(result.out, GoodMedia + "\n\n" + Media + "zz/zz999999.flv\n\n");
    EXPECT_EQ(result.errors, NoLinkMessages("argument", {2, 4}));
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(QmzLinkProcess, ExitsWithZeroWhenEveryArgumentGaveALink) {
    const ProcessResult result = QmzLink({Good, Good});
    EXPECT_EQ(result.out, GoodMedia + "\n" + GoodMedia + "\n");
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.exitStatus, 0);
}

TEST(QmzLinkProcess, ArgumentsAreTakenExactlyWithoutLineEndingsRemoved) {
    const ProcessResult result = QmzLink({Good + "\r\n", Good + "\n"});
    EXPECT_EQ(result.out, "\n\n");
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(QmzLinkProcess, IgnoresStandardInputWhenGivenArguments) {
    const ProcessResult result = QmzLink({Good}, "nonsense\n");
    EXPECT_EQ(result.out, GoodMedia + "\n");
    EXPECT_EQ(result.exitStatus, 0);
}

TEST(QmzLinkProcess, DoubleDashLetsAnArgumentBeginWithADash) {
    const ProcessResult result = QmzLink({"--", "-x", Good});
    EXPECT_EQ(result.out, "\n" + GoodMedia + "\n");
    EXPECT_EQ(result.errors, NoLinkMessages("argument", {1}));
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(QmzLinkProcess, AnUnknownOptionIsAUsageErrorAndDerivesNothing) {
    const ProcessResult result = QmzLink({Good, "-x"});
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.errors, "qmz-link: unknown option '-x'\nTry 'qmz-link --help' for more information.\n");
    EXPECT_EQ(result.exitStatus, 2);
}

TEST(QmzLinkProcess, PrintsItsVersion) {
    const ProcessResult result = QmzLink({"--version"});
    EXPECT_EQ(result.out, "qmz-link 1.00\n");
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.exitStatus, 0);
}

TEST(QmzLinkProcess, PrintsHelpOnStandardOutput) {
    for (const char* option : {"--help", "-h"}) {
        const ProcessResult result = QmzLink({option});
        EXPECT_TRUE(result.out.starts_with("Usage: qmz-link [LINK]...\n")) << result.out;
        EXPECT_NE(result.out.find("--version"), std::string::npos);
        EXPECT_NE(result.out.find("Exit status"), std::string::npos);
        EXPECT_EQ(result.errors, "");
        EXPECT_EQ(result.exitStatus, 0);
    }
}

TEST(QmzLinkProcess, AnInputThatCannotBeReadIsTroubleNotANoLink) {
    // A folder opens but cannot be read.
    const ProcessResult result = RunProcess("/bin/sh", {"-c", "exec \"$0\" < /", QMZ_LINK_PROGRAM});
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.errors.starts_with("qmz-link: cannot read the input")) << result.errors;
    EXPECT_EQ(result.exitStatus, 2);
}

TEST(QmzLinkProcess, AnOutputThatCannotBeWrittenIsTrouble) {
    if (access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full here";
    }
    const ProcessResult result = RunProcess("/bin/sh", {"-c", "exec \"$0\" \"$1\" > /dev/full", QMZ_LINK_PROGRAM, Good});
    EXPECT_TRUE(result.errors.starts_with("qmz-link: cannot write the output")) << result.errors;
    EXPECT_EQ(result.exitStatus, 2);
}

// --- Talking through a pipe: each answer comes before the next line is sent.

TEST(QmzLinkProcess, AnswersEachLineBeforeWaitingForTheNext) {
    int toChild[2];
    int fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, toChild[1]);
    posix_spawn_file_actions_addclose(&actions, fromChild[0]);
    std::string program = QMZ_LINK_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
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
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    close(fromChild[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace qmz
