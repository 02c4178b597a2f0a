// Text helpers shared by every subsystem.
//
// Texts inside VEXA are UTF-8 std::strings. The handheld counted characters, not bytes, so
// every length limit of the system (256-character NMEA list lines, 4096-character list,
// 64-character POI names, …) is applied with the character-counting helpers here, which never
// cut a multi-byte sequence in half.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

// Number of characters (code points) in a UTF-8 text. Stray continuation bytes count as one
// character each, so a damaged text still has a finite, sensible length.
std::size_t utf8Length(std::string_view text);

// The first `chars` characters of a UTF-8 text (all of it when it is shorter).
std::string_view utf8Prefix(std::string_view text, std::size_t chars);

// Plain ASCII, the common case of NMEA text: every byte is one character.
bool isAscii(std::string_view text);

// Whether the text is well-formed UTF-8, and a copy in which every byte that is not part of a
// well-formed sequence is replaced by '?'.
bool isValidUtf8(std::string_view text);
std::string validUtf8(std::string_view text);

// Received NMEA bytes and 8-bit files are Latin-1: one byte is one character.
std::string latin1ToUtf8(std::string_view bytes);

// For 8-bit text files: characters outside Latin-1 become `replacement`.
std::string utf8ToLatin1(std::string_view text, char replacement = '?');

// printf-style formatting into a std::string; the system's message formats are printf formats.
std::string strprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vexa
