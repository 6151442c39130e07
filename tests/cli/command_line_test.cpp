#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.hpp"

namespace qmz::cli {
namespace {

using Request = CommandLine::Request;

struct CommandCase {
    const char* name;
    std::vector<const char*> arguments;
    Request request;
    std::vector<std::string_view> links;
    std::string problem;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineTest : public testing::TestWithParam<CommandCase> {};

TEST_P(CommandLineTest, ReadsTheArguments) {
    const CommandCase& c = GetParam();
    const CommandLine command = ParseCommandLine(c.arguments);
    EXPECT_EQ(command.request, c.request);
    EXPECT_EQ(command.links, c.links);
    EXPECT_EQ(command.problem, c.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    testing::Values(
        CommandCase{"nothing_reads_standard_input", {}, Request::DeriveStandardInput, {}, ""},
        CommandCase{"links_in_their_order", {"b", "a", "b"}, Request::DeriveArguments, {"b", "a", "b"}, ""},
        CommandCase{"empty_argument_is_a_link_to_derive", {""}, Request::DeriveArguments, {""}, ""},
        CommandCase{"help", {"--help"}, Request::ShowHelp, {}, ""},
        CommandCase{"short_help", {"-h"}, Request::ShowHelp, {}, ""},
        CommandCase{"version", {"--version"}, Request::ShowVersion, {}, ""},
        CommandCase{"an_option_after_links_still_counts", {"a", "--version"}, Request::ShowVersion, {}, ""},
        CommandCase{"the_first_option_decides", {"--version", "--help"}, Request::ShowVersion, {}, ""},
        CommandCase{"unknown_option", {"a", "-x"}, Request::UsageError, {}, "unknown option '-x'"},
        CommandCase{"unknown_long_option", {"--verbose"}, Request::UsageError, {}, "unknown option '--verbose'"},
        CommandCase{"no_abbreviations", {"--vers"}, Request::UsageError, {}, "unknown option '--vers'"},
        CommandCase{"no_attached_values", {"--help=all"}, Request::UsageError, {}, "unknown option '--help=all'"},
        CommandCase{"double_dash_ends_options", {"--", "-x", "--help"}, Request::DeriveArguments, {"-x", "--help"}, ""},
        CommandCase{"only_the_first_double_dash_is_taken", {"--", "--"}, Request::DeriveArguments, {"--"}, ""},
        CommandCase{"double_dash_alone_reads_standard_input", {"--"}, Request::DeriveStandardInput, {}, ""},
        CommandCase{"a_lone_dash_is_a_link_to_derive", {"-"}, Request::DeriveArguments, {"-"}, ""}),
    [](const testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qmz::cli
