#include "shell/ansi_text_win32.hpp"

#include <limits>

#include "base/runtime_failure.hpp"

namespace qmz {

std::string ToAnsiText(std::wstring_view text, UINT codePage) {
    if (text.find(L'\0') != std::wstring_view::npos) {
        throw RuntimeFailure("The text holds a NUL character and cannot be handed to the shell.");
    }
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw RuntimeFailure("The text is too long to be handed to the shell.");
    }
    // UTF-8 has no best fit to avoid, and Windows refuses the flag for it; without the flag for
    // invalid characters it would write U+FFFD for half a character, and the shell get another link.
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        throw RuntimeFailure("The text cannot be converted to code page " + std::to_string(codePage) + ".");
    }
    std::string converted(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(codePage, flags, text.data(), length, converted.data(), needed, nullptr, nullptr) != needed) {
        throw RuntimeFailure("The text cannot be converted to code page " + std::to_string(codePage) + ".");
    }
    return converted;
}

}  // namespace qmz
