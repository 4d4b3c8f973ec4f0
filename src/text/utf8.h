#pragma once

#include <string>
#include <string_view>

namespace obturix {

inline constexpr char32_t replacementCharacter = 0xFFFD;

// The code points of a UTF-8 text. A malformed sequence (a stray or missing
// continuation byte), an overlong form, a surrogate or a value beyond
// U+10FFFF becomes one replacement character: it never decodes to a NUL or
// to another character.
std::u32string decodeUtf8(std::string_view text);

void appendUtf8(std::string& out, char32_t c);

// How many characters a UTF-8 text shows: its bytes but the continuation ones.
std::size_t characterCount(std::string_view text);

// A text from outside (a command line, a file) made safe to print on a
// terminal: malformed UTF-8 as replacement characters, control characters
// (C0, DEL, C1) as \xHH, so that nothing in it can drive the terminal.
std::string printableText(std::string_view text);

// A text as the body of a desktop notification, which a notification
// service may read as markup: '&', '<' and '>' as entities, so that a name
// from outside can neither format it nor make a link of it.
std::string markupEscaped(std::string_view text);

} // namespace obturix
