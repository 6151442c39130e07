#pragma once

#include <filesystem>

#include "link/derive_media_link.hpp"
#include "window/runtime_failure.hpp"

namespace qmz {

// What the actions ask of the window and the runtime around it. Every operation may fail; a
// failure is thrown as RuntimeFailure, never returned as a status to be forgotten.
class FormRuntime {
public:
    virtual ~FormRuntime() = default;

    // The whole text of Text1, exactly as shown.
    virtual Text ReadText1() = 0;
    // Replaces the whole text of Text1.
    virtual void WriteText1(TextView text) = 0;
    virtual WindowHandle ReadWindowHandle() = 0;
    // The folder of the running executable, without a trailing separator except for a root.
    virtual std::filesystem::path ReadProgramFolder() = 0;
    // Tells the user about a failure that no action handled. The program goes on running.
    virtual void ReportFailure(const RuntimeFailure& failure) = 0;
};

}  // namespace qmz
