#include "tests/support/stand_in_handler.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace qmz::testing_support {
namespace {

std::filesystem::path MakeTemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qmz-handler-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    return pattern;
}

HandlerStart ReadStart(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    HandlerStart start;
    start.recordFile = file;
    std::string count;
    std::string inherited;
    std::getline(in, count);
    std::getline(in, start.workingFolder);
    std::getline(in, inherited);
    auto state = file;
    std::getline(std::ifstream(state.replace_extension(".state")), start.processState);
    start.inheritedWatchedDescriptor = inherited == "yes";
    std::string argument;
    while (std::getline(in, argument, '\0')) {
        start.arguments.push_back(argument);
    }
    if (std::to_string(start.arguments.size()) != count) {
        throw std::runtime_error("handler record " + file.string() + " is inconsistent");
    }
    return start;
}

}  // namespace

StandInHandler::StandInHandler(Installed installed) : folder_(MakeTemporaryFolder()) {
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    std::filesystem::create_directory(folder_ / "bin");
    std::filesystem::create_directory(folder_ / "records");
    if (installed == Installed::Yes) {
        std::filesystem::copy_file(QMZ_STAND_IN_HANDLER, folder_ / "bin" / "xdg-open");
        // The handler needs the usual tools (sh, date, mv, sleep) behind it on PATH.
        setenv("PATH", ((folder_ / "bin").string() + ":" + savedPath_).c_str(), 1);
    } else {
        // Only an empty folder: no handler can be found at all.
        setenv("PATH", (folder_ / "bin").c_str(), 1);
    }
    setenv("QMZ_TEST_RECORDS", (folder_ / "records").c_str(), 1);
}

StandInHandler::~StandInHandler() {
    setenv("PATH", savedPath_.c_str(), 1);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::vector<HandlerStart> StandInHandler::Starts() const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder_ / "records")) {
        if (entry.path().extension() == ".started") {
            files.push_back(entry.path());
        }
    }
    std::ranges::sort(files);
    std::vector<HandlerStart> starts;
    std::ranges::transform(files, std::back_inserter(starts), ReadStart);
    return starts;
}

std::vector<HandlerStart> StandInHandler::WaitForStarts(std::size_t count, std::chrono::seconds patience) const {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    auto starts = Starts();
    while (starts.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        starts = Starts();
    }
    return starts;
}

bool StandInHandler::Finished(const HandlerStart& start) const {
    auto finished = start.recordFile;
    finished.replace_extension(".finished");
    return std::filesystem::exists(finished);
}

}  // namespace qmz::testing_support
