#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qmz::testing_support {

struct ProcessResult {
    int exitStatus = -1;  // -1 when the process did not exit by itself (a signal ended it)
    std::string out;
    std::string errors;
};

// Runs program with arguments, standard input fed from input, and gathers what it writes.
// Goes through files rather than pipes, so that no size of input or output can block either side.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::string& input = {});

}  // namespace qmz::testing_support
