#include "shell/program_folder.hpp"

#include <windows.h>

#include <algorithm>
#include <string>

#include "base/runtime_failure.hpp"

namespace qmz {
namespace {

// Windows paths, long-path form included, never exceed 32767 characters.
constexpr DWORD LongestPath = 32768;

// The program's full path, however long: the buffer grows until the path fits.
std::wstring ReadProgramPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        const DWORD written = GetModuleFileNameW(nullptr, buffer.data(), size);
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

}  // namespace

NativePath ProgramFolder() {
    std::wstring folder = ReadProgramPath();
    const std::size_t separator = folder.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator == 0) {
        throw RuntimeFailure("The program's folder is unknown.");
    }
    folder.resize(separator);
    // "C:" alone means the drive's current folder: a drive's root keeps its backslash, in the
    // long-path form ("\\?\C:\") too.
    if (folder.back() == L':') {
        folder.push_back(L'\\');
    }
    return folder;
}

}  // namespace qmz
