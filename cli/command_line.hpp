#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qmz::cli {

struct CommandLine {
    enum class Request { DeriveArguments, DeriveStandardInput, ShowHelp, ShowVersion, UsageError };
    Request request = Request::DeriveStandardInput;
    std::vector<std::string_view> links;  // for DeriveArguments, in the order given
    std::string problem;                  // for UsageError: what was wrong
};

// Reads the arguments after the program's name. Options may stand anywhere before "--"; the first
// of --help (-h), --version (-v) or an unknown option decides. After "--" every argument is a link, and so is
// a lone "-" anywhere. The views point into arguments.
CommandLine ParseCommandLine(std::span<const char* const> arguments);

}  // namespace qmz::cli
