#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.hpp"

namespace qmz {

// UTF-16 text as UTF-8, appended to out. A lone surrogate has no UTF-8 form: then nothing is
// appended and the answer is false, so that no text is ever changed in silence.
bool AppendUtf8(std::string& out, TextView text);

// The same as a string of its own; nothing for a text that holds a lone surrogate.
std::optional<std::string> ToUtf8(TextView text);

// What the two measures below give for bytes that are not valid UTF-8 (overlong forms, surrogates
// and values past U+10FFFF included) or a count that ends inside a character: larger than any
// length, as std::string_view::npos is. They give plain numbers because GCC 12 returns a
// std::optional<std::size_t> through a one-byte store and an eight-byte load of the same place,
// which stalls the processor (a tenth of qmz-link's time); std::optional can come back with a
// compiler that returns it in registers.
inline constexpr std::size_t NoLength = static_cast<std::size_t>(-1);

// How many UTF-16 code units UTF-8 bytes stand for. Lengths of text count these units on every
// platform, so bytes and the window's text agree on every length.
std::size_t Utf16Length(std::string_view bytes);

// How many of the bytes hold their first `units` UTF-16 code units (all the bytes when they stand
// for fewer); NoLength when the bytes up to there are not valid UTF-8 or those units end inside a
// character of two units, whose first half alone has no UTF-8 form.
std::size_t Utf8LengthOfUnits(std::string_view bytes, std::size_t units);

}  // namespace qmz
