#include "shell/program_folder_win32.hpp"

#include <algorithm>
#include <string>

#include "base/runtime_failure.hpp"
#include "shell/program_folder.hpp"

namespace qmz {
namespace {

// Windows paths, long-path form included, never exceed 32767 characters.
constexpr DWORD LongestPath = 32768;

}  // namespace

std::wstring FolderOfModulePath(std::wstring_view modulePath) {
    const std::size_t separator = modulePath.find_last_of(L"\\/");
    if (separator == std::wstring_view::npos || separator == 0) {
        return {};
    }
    std::wstring folder(modulePath.substr(0, separator));
    // "C:" alone means the drive's current folder, not its root.
    if (folder.back() == L':') {
        folder.push_back(L'\\');
    }
    return folder;
}

std::wstring ReadModulePath(const ModuleFileNameReader& read) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        const DWORD written = read(buffer.data(), size);
        if (written == 0) {
            throw RuntimeFailure("The program's path is unknown (error " + std::to_string(GetLastError()) + ").");
        }
        if (written < size) {
            buffer.resize(written);
            return buffer;
        }
        // The path was cut short to fit: try again with room for it.
        if (size >= LongestPath) {
            throw RuntimeFailure("The program's path is longer than Windows allows.");
        }
        buffer.resize(std::min<std::size_t>(buffer.size() * 2, LongestPath));
    }
}

NativePath ProgramFolder() {
    const std::wstring modulePath =
        ReadModulePath([](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
    std::wstring folder = FolderOfModulePath(modulePath);
    if (folder.empty()) {
        throw RuntimeFailure("The program's folder is unknown.");
    }
    return folder;
}

}  // namespace qmz
