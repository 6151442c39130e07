#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "window/program_folder_win32.hpp"
#include "window/runtime_failure.hpp"

namespace qmz {
namespace {

TEST(FolderOfModulePath, KeepsABackslashOnlyAfterADrive) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {LR"(C:\Program Files\QMZ\qmz.exe)", LR"(C:\Program Files\QMZ)"},
        {LR"(C:\qmz.exe)", LR"(C:\)"},
        {LR"(Z:\work\build\windows\qmz.exe)", LR"(Z:\work\build\windows)"},
        {LR"(\\server\share\tools\qmz.exe)", LR"(\\server\share\tools)"},
        {LR"(\\?\C:\qmz.exe)", LR"(\\?\C:\)"},
        {LR"(\\?\D:\a\b\qmz.exe)", LR"(\\?\D:\a\b)"},
        {L"qmz.exe", L""},
    };
    for (const auto& [module, folder] : cases) {
        EXPECT_EQ(FolderOfModulePath(module), folder);
    }
}

TEST(ReadModulePath, GrowsTheBufferUntilALongPathFits) {
    // A path past MAX_PATH, as under a long-path-aware Windows.
    const std::wstring longPath = LR"(\\?\C:\)" + std::wstring(700, L'd') + LR"(\qmz.exe)";
    int calls = 0;
    const std::wstring read = ReadModulePath([&](wchar_t* buffer, DWORD size) -> DWORD {
        ++calls;
        // As GetModuleFileNameW does: cut to fit, and report the whole size when cut.
        const std::size_t copied = std::min<std::size_t>(longPath.size(), size - 1);
        longPath.copy(buffer, copied);
        buffer[copied] = L'\0';
        return copied < longPath.size() ? size : static_cast<DWORD>(copied);
    });
    EXPECT_EQ(read, longPath);
    EXPECT_GT(calls, 1);
}

TEST(ReadModulePath, TurnsFailureIntoARuntimeFailure) {
    EXPECT_THROW(ReadModulePath([](wchar_t*, DWORD) -> DWORD { return 0; }), RuntimeFailure);
    // A reader that never fits must not make the buffer grow without end.
    EXPECT_THROW(ReadModulePath([](wchar_t*, DWORD size) { return size; }), RuntimeFailure);
}

TEST(ProgramFolder, IsTheRunningProgramsFolder) {
    const std::filesystem::path folder = ProgramFolder();
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    EXPECT_TRUE(std::filesystem::exists(folder / L"program_folder_test.exe")) << folder;
    EXPECT_NE(folder.native().back(), L'\\');
    EXPECT_TRUE(folder.is_absolute()) << folder;
}

}  // namespace
}  // namespace qmz
