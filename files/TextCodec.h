#pragma once
// Our files are 8-bit text: UTF-8 where they are valid UTF-8, otherwise the
// Central European Windows code page 1250 in which they were always written.

#include <string>
#include <string_view>

namespace chess {

bool IsValidUtf8(std::string_view bytes);

// The text as UTF-8: unchanged when it already is valid UTF-8, else read as
// code page 1250.
std::string ToUtf8(std::string_view bytes);

// UTF-8 text in code page 1250; returns false (and leaves `out` alone) when a
// character has no place there.
bool ToCp1250(std::string_view utf8, std::string& out);

// Code page 1250 text as UTF-8, whatever the bytes look like.
std::string Cp1250ToUtf8(std::string_view bytes);

// The character a byte of code page 1250 stands for; U+FFFD for the five
// bytes the code page leaves unassigned.
char32_t Cp1250CodePoint(unsigned char byte);

// Appends a character to UTF-8 text.
void AppendUtf8(std::string& out, char32_t c);

// UTF-16 (without its byte-order mark) as UTF-8, and back. Unpaired
// surrogates and an odd last byte read as U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);

// Cuts UTF-8 text to at most `maxCharacters` characters: the limit of a
// value in the 8-bit files, where one byte was one character.
std::string_view CutUtf8(std::string_view text, std::size_t maxCharacters);

}  // namespace chess
