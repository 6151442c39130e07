#include "cli/command_line.hpp"

namespace qmz::cli {

CommandLine ParseCommandLine(std::span<const char* const> arguments) {
    CommandLine command;
    bool optionsEnded = false;
    for (const char* const argument : arguments) {
        const std::string_view text(argument);
        if (!optionsEnded && text == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && text.size() > 1 && text.front() == '-') {
            if (text == "--help" || text == "-h") {
                command.request = CommandLine::Request::ShowHelp;
            } else if (text == "--version" || text == "-v") {
                command.request = CommandLine::Request::ShowVersion;
            } else {
                command.request = CommandLine::Request::UsageError;
                command.problem = "unknown option '" + std::string(text) + "'";
            }
            command.links.clear();
            return command;
        } else {
            command.links.push_back(text);
        }
    }
    command.request = command.links.empty() ? CommandLine::Request::DeriveStandardInput
                                            : CommandLine::Request::DeriveArguments;
    return command;
}

}  // namespace qmz::cli
