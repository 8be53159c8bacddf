#pragma once
// Text from outside the program (a file's contents, a cell, a file name, a
// command-line value) made safe to show in a message, a terminal or JSON.

#include <string>
#include <string_view>

namespace vp {

// The text as valid UTF-8: every byte sequence that is not well-formed UTF-8
// (a stray continuation byte, a truncated or overlong sequence, a surrogate, a
// code point above U+10FFFF) becomes one U+FFFD per maximal ill-formed part.
std::string ValidUtf8(std::string_view text);

// ValidUtf8, with characters that would act instead of showing written as
// escapes: tab, line feed and carriage return as \t, \n, \r, other C0 controls
// and DEL as \xHH (NUL as \x00, ESC as \x1B), C1 controls, line and paragraph
// separators, bidirectional controls and characters that show nothing
// (zero-width ones, the soft hyphen, the byte-order mark) as \uHHHH. Texts longer than
// kPrintableChars characters are cut there and end with "…".
std::string Printable(std::string_view text);

inline constexpr size_t kPrintableChars = 256;

}  // namespace vp
