#pragma once
// Small routines that every page of the launcher uses.
#include <cstdint>
#include <string>
#include <string_view>

namespace fdk {

// Upper-cases ASCII letters and the three lower-case umlauts of code page 1252
// (0xE4, 0xF6, 0xFC). UTF-8 umlauts (U+00E4, U+00F6, U+00FC) are mapped as well,
// because names on this platform arrive as UTF-8. Nothing else changes ("ß" stays).
std::string UpperCaseUmlaut(std::string_view text);

// Decimal text, minus sign for negatives, no leading zeros.
std::string IntToText(long long value);

// The decimal value of the whole text; 0 when the text is not a complete integer
// (empty, spaces, trailing letters, out of the 32-bit range).
int TextToIntOrZero(std::string_view text);

// True exactly when TextToIntOrZero parses the whole text.
bool IsWholeNumber(std::string_view text);

// Size in bytes of the entry at the path (a file, or a folder's own size);
// -1 when nothing is there.
long long FileSizeOf(const std::string& path);

inline void FlipFlag(bool& flag) { flag = !flag; }

}  // namespace fdk
