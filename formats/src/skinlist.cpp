#include "formats/skinlist.h"

#include "formats/text.h"

namespace formats {

namespace {

void addFrom(std::string_view piece, std::vector<std::string>& names) {
  const std::string_view name = tokenEndingWith(piece, ".pcx");
  if (!name.empty()) names.emplace_back(name);
}

}  // namespace

std::vector<std::string> parseSkinList(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = (end == std::string_view::npos) ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    do {
      addFrom(line.substr(0, kSkinListLineLength), names);
      line = line.size() > kSkinListLineLength ? line.substr(kSkinListLineLength) : std::string_view();
    } while (!line.empty());
  }
  return names;
}

std::vector<std::string> mergeSkinNames(const std::vector<std::string>& own, const std::vector<std::string>& listed) {
  std::vector<std::string> merged = own;
  merged.insert(merged.end(), listed.begin(), listed.end());
  return merged;
}

}  // namespace formats
