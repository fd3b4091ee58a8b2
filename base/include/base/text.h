#pragma once
// ASCII case folding. Names in games, archives and settings compare without
// regard to ASCII letter case; other bytes compare as they are.
#include <span>
#include <string>
#include <string_view>

namespace fdk {

inline char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalsNoCase(std::string_view a, std::string_view b);
bool endsWithNoCase(std::string_view text, std::string_view suffix);
std::string lowerAsciiCopy(std::string_view text);
// Orders names the way the launcher's lists sort them: ASCII letters without case.
bool lessNoCase(std::string_view a, std::string_view b);

// The names one after another with `between` between them, for a message: "a, b, c".
std::string joinedText(std::span<const std::string> names, std::string_view between = ", ");

}  // namespace fdk
