#include "shell/open_link_win32.hpp"

#include <string>

#include "base/runtime_failure.hpp"
#include "base/wide_text_win32.hpp"
#include "shell/ansi_text_win32.hpp"
#include "shell/open_link.hpp"

namespace qmz {
namespace {

ShellExecuteAFunction LookUpShellExecuteA() {
    // Deliberately never freed: the address found must stay valid for every later call.
    const HMODULE library = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) {
        throw RuntimeFailure("The shell library cannot be loaded (error " + std::to_string(GetLastError()) + ").");
    }
    const FARPROC found = GetProcAddress(library, "ShellExecuteA");
    if (found == nullptr) {
        throw RuntimeFailure("The shell function ShellExecuteA is missing (error " + std::to_string(GetLastError()) + ").");
    }
    // GetProcAddress gives every function the same generic type; this one is ShellExecuteA.
    return reinterpret_cast<ShellExecuteAFunction>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

void OpenLinkWith(ShellExecuteAFunction shellExecute, WindowHandle owner, std::u16string_view verb,
                  std::u16string_view target, const NativePath& folder) {
    const UINT codePage = GetACP();
    const std::string ansiVerb = ToAnsiText(AsWide(verb), codePage);
    const std::string ansiTarget = ToAnsiText(AsWide(target), codePage);
    const std::string ansiFolder = ToAnsiText(folder, codePage);
    // The outcome is the shell's business: whatever it shows is all the user learns.
    static_cast<void>(shellExecute(reinterpret_cast<HWND>(owner), ansiVerb.c_str(), ansiTarget.c_str(), nullptr,
                                   ansiFolder.c_str(), SW_SHOWNORMAL));
}

// ShellExecuteA's outcome is complete when it returns: nothing is left to watch, and nothing
// reports later.
struct LinkHandoff::Platform {};

LinkHandoff::LinkHandoff() = default;
LinkHandoff::~LinkHandoff() = default;

void LinkHandoff::Open(WindowHandle owner, std::u16string_view verb, std::u16string_view target,
                       const NativePath& folder, const FailureReport& /*onLateFailure: never called*/) {
    // Looked up once, by the first call that finds the function (C++ makes that thread-safe); a
    // failed lookup leaves it unset, so a later call tries again. Never changed afterwards.
    static const ShellExecuteAFunction shellExecute = LookUpShellExecuteA();
    OpenLinkWith(shellExecute, owner, verb, target, folder);
}

}  // namespace qmz
