#pragma once

#include <windows.h>

#include <string_view>

#include "base/native_path.hpp"
#include "base/window_handle.hpp"

namespace qmz {

// The signature of shell32's ShellExecuteA.
using ShellExecuteAFunction = HINSTANCE(WINAPI*)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                                 LPCSTR directory, INT showCommand);

// LinkHandoff::Open's work once the function is found: the three texts in the process's code page, no
// parameters, shown normally; the result is discarded. Tests pass a recording function here.
void OpenLinkWith(ShellExecuteAFunction shellExecute, WindowHandle owner, std::u16string_view verb,
                  std::u16string_view target, const NativePath& folder);

}  // namespace qmz
