// Small text rules shared by the command line, the map list and the skin list.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace formats {

using fdk::equalsNoCase;

// The blank-free word that ends with the first occurrence of `extension`
// (compared without regard to ASCII case): it starts after the last blank
// before that occurrence, or at the start of `text`. Empty when `text` holds
// no such extension.
std::string_view tokenEndingWith(std::string_view text, std::string_view extension);

// Cuts `text` at its first NUL, and at `limit` bytes when it has none: fixed
// name fields in file formats need not be terminated.
std::string fixedName(const char* field, size_t limit);

}  // namespace formats
