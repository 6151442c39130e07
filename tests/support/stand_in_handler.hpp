#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace qmz::testing_support {

// How the stand-in handler was started, as it recorded it.
struct HandlerStart {
    std::vector<std::string> arguments;
    std::string workingFolder;
    bool inheritedWatchedDescriptor = false;
    // Its blocked and ignored signals, session and standard streams, as one line.
    std::string processState;
    std::filesystem::path recordFile;
};

// Puts a recording stand-in for xdg-open first on PATH for the lifetime of the object, or, when
// constructed with Installed::No, takes every handler off PATH.
class StandInHandler {
public:
    enum class Installed { Yes, No };
    explicit StandInHandler(Installed installed = Installed::Yes);
    ~StandInHandler();
    StandInHandler(const StandInHandler&) = delete;
    StandInHandler& operator=(const StandInHandler&) = delete;

    // Waits until at least count handlers have recorded their start (or the patience runs out)
    // and gives all starts recorded so far, oldest first.
    std::vector<HandlerStart> WaitForStarts(std::size_t count,
                                            std::chrono::seconds patience = std::chrono::seconds(20)) const;
    // All starts recorded so far.
    std::vector<HandlerStart> Starts() const;
    bool Finished(const HandlerStart& start) const;
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::string savedPath_;
};

}  // namespace qmz::testing_support
