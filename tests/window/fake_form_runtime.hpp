#pragma once

#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/runtime_failure.hpp"
#include "window/actions.hpp"
#include "window/form_runtime.hpp"

namespace qmz::testing_support {

// A form runtime whose every operation can be made to fail, for the failure paths the real
// window cannot produce on demand. It records what reached the shell and the user.
// The folder the fake reports as the program's, in the platform's own path characters.
inline const NativePath FolderOfProgram = std::filesystem::path("/opt/qmz").native();

class FakeFormRuntime final : public FormRuntime {
public:
    // ShellOutOfMemory: the shell throws what is no RuntimeFailure. ShellLater: the shell takes the
    // link, and the desktop reports afterwards that it could not open it.
    enum class Step { ReadText, WriteText, WindowHandle, ProgramFolder, Shell, ShellOutOfMemory, ShellLater };

    struct OpenRequest {
        WindowHandle owner;
        std::u16string verb;
        std::u16string target;
        NativePath folder;
    };

    explicit FakeFormRuntime(Text text) : text(std::move(text)) {}

    Text ReadPageLinkBox() override {
        MaybeFail(Step::ReadText);
        return text;
    }
    void WritePageLinkBox(TextView newText) override {
        MaybeFail(Step::WriteText);
        text = Text(newText);
    }
    WindowHandle ReadWindowHandle() override {
        MaybeFail(Step::WindowHandle);
        return WindowHandle{0x2a};
    }
    NativePath ReadProgramFolder() override {
        MaybeFail(Step::ProgramFolder);
        return FolderOfProgram;
    }
    void ReportFailure(std::string_view message) noexcept override { reports.emplace_back(message); }
    FailureReport LateFailureReport() override {
        return [this](std::string message) { reports.push_back(std::move(message)); };
    }

    LinkOpener Opener() {
        return [this](WindowHandle owner, std::u16string_view verb, std::u16string_view target, const NativePath& folder, const FailureReport& onLateFailure) {
            MaybeFail(Step::Shell);
            if (failingStep == Step::ShellOutOfMemory) {
                throw std::bad_alloc();
            }
            opened.push_back({owner, std::u16string(verb), std::u16string(target), folder});
            if (failingStep == Step::ShellLater && onLateFailure) {
                onLateFailure("no program to open links");
            }
        };
    }

    Text text;
    std::optional<Step> failingStep;
    std::vector<OpenRequest> opened;
    std::vector<std::string> reports;

private:
    void MaybeFail(Step step) const {
        if (failingStep == step) {
            throw RuntimeFailure("injected failure");
        }
    }
};

}  // namespace qmz::testing_support
