#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/runtime_failure.hpp"
#include "shell/program_folder.hpp"
#include "shell/program_folder_win32.hpp"

namespace qmz {
namespace {

TEST(FolderOfModulePath, KeepsABackslashOnlyAfterADrive) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {LR"(C:\Program Files\QMZ\qmz.exe)", LR"(C:\Program Files\QMZ)"},
        {LR"(C:\qmz.exe)", LR"(C:\)"},
        {LR"(\\server\share\tools\qmz.exe)", LR"(\\server\share\tools)"},
        {LR"(\\?\C:\qmz.exe)", LR"(\\?\C:\)"},
        {LR"(\\?\D:\a\b\qmz.exe)", LR"(\\?\D:\a\b)"},
        {L"qmz.exe", L""},
    };
    for (const auto& [module, folder] : cases) {
        EXPECT_EQ(FolderOfModulePath(module), folder) << module;
    }
}

TEST(ReadModulePath, GrowsTheBufferUntilALongPathFitsAndReportsFailure) {
    // Past MAX_PATH, as under a long-path-aware Windows; cut to fit, as GetModuleFileNameW does,
    // which then reports the whole buffer's size.
    const std::wstring longPath = LR"(\\?\C:\)" + std::wstring(700, L'd') + LR"(\qmz.exe)";
    EXPECT_EQ(ReadModulePath([&](wchar_t* buffer, DWORD size) {
                  const std::size_t copied = longPath.copy(buffer, size - 1);
                  buffer[copied] = L'\0';
                  return copied < longPath.size() ? size : static_cast<DWORD>(copied);
              }),
              longPath);
    EXPECT_THROW(ReadModulePath([](wchar_t*, DWORD) -> DWORD { return 0; }), RuntimeFailure);
    // A reader that never fits must not make the buffer grow without end.
    EXPECT_THROW(ReadModulePath([](wchar_t*, DWORD size) { return size; }), RuntimeFailure);
}

TEST(ProgramFolder, IsTheRunningProgramsFolder) {
    const std::filesystem::path folder(ProgramFolder());
    EXPECT_TRUE(folder.is_absolute()) << folder;
    EXPECT_TRUE(std::filesystem::exists(folder / L"program_folder_test.exe")) << folder;
    EXPECT_NE(folder.native().back(), L'\\');
}

}  // namespace
}  // namespace qmz
