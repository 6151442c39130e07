#pragma once

#include <filesystem>
#include <string>

namespace qmz {

// A path exactly as the system gives it, never decoded or converted: bytes on POSIX, UTF-16 code
// units on Windows. A plain string of the platform's path characters, so that code that only hands
// a folder on does not pull in the file system library and the locale machinery behind it.
using NativePath = std::basic_string<std::filesystem::path::value_type>;

}  // namespace qmz
