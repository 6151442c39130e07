#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace qmz {

// The folder of a module's full path, without a trailing backslash except for a drive's root
// ("C:\"), also in the long-path form ("\\?\C:\"). Empty when the path names no folder.
std::wstring FolderOfModulePath(std::wstring_view modulePath);

// How GetModuleFileNameW fills a buffer of the given size: the characters written, the size itself
// when the path did not fit, 0 on failure.
using ModuleFileNameReader = std::function<DWORD(wchar_t* buffer, DWORD size)>;

// The module's full path, however long: the buffer grows until the path fits. Throws RuntimeFailure.
std::wstring ReadModulePath(const ModuleFileNameReader& read);

}  // namespace qmz
