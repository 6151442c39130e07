#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace qmz {

// Text as 8-bit text in codePage, for the shell's "A" functions. A character the code page lacks
// becomes the code page's default character ("?"), never a look-alike: best-fit mapping would turn
// a fullwidth quote into a plain one and so change what the shell parses. Throws RuntimeFailure
// when the text holds a NUL (the shell would read a shorter, different text) or cannot be
// converted, as UTF-8 cannot convert half a character (a lone surrogate).
std::string ToAnsiText(std::wstring_view text, UINT codePage);

}  // namespace qmz
