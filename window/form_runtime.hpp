#pragma once

#include <string_view>

#include "base/failure_report.hpp"
#include "base/native_path.hpp"
#include "base/text.hpp"
#include "base/window_handle.hpp"

namespace qmz {

// What the actions ask of the window and the runtime around it. Every read and write may fail; a
// failure is thrown as RuntimeFailure, never returned as a status to be forgotten.
class FormRuntime {
public:
    virtual ~FormRuntime() = default;

    // The whole text of the page-link box, exactly as shown.
    virtual Text ReadPageLinkBox() = 0;
    // Replaces the whole text of the page-link box.
    virtual void WritePageLinkBox(TextView text) = 0;
    virtual WindowHandle ReadWindowHandle() = 0;
    // The folder of the running executable, without a trailing separator except for a root.
    virtual NativePath ReadProgramFolder() = 0;
    // Tells the user about a failure that no action handled, in a message box over the window.
    // Throws nothing; the program goes on running.
    virtual void ReportFailure(std::string_view message) noexcept = 0;
    // A report for a failure that arrives later: callable from any thread, it shows the message as
    // ReportFailure does, on the window's thread, while the window stands. Empty where the
    // platform's shell never reports late.
    virtual FailureReport LateFailureReport() = 0;
};

}  // namespace qmz
