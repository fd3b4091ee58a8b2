#include "formats/text.h"

#include <algorithm>

#include "formats/result.h"

namespace formats {

Error readError(std::string_view file, std::string_view expected, std::string_view found) {
  std::string text(file);
  text += ": expected ";
  text += expected;
  text += ", found ";
  text += found;
  return Error{fdk::ErrorKind::Damaged, text};
}

std::string_view tokenEndingWith(std::string_view text, std::string_view extension) {
  if (extension.empty() || text.size() < extension.size()) return {};
  for (size_t at = 0; at + extension.size() <= text.size(); ++at) {
    if (!equalsNoCase(text.substr(at, extension.size()), extension)) continue;
    size_t start = text.substr(0, at).rfind(' ');
    start = (start == std::string_view::npos) ? 0 : start + 1;
    return text.substr(start, at + extension.size() - start);
  }
  return {};
}

std::string fixedName(const char* field, size_t limit) {
  size_t length = 0;
  while (length < limit && field[length] != '\0') ++length;
  return std::string(field, length);
}

}  // namespace formats
