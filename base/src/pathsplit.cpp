#include "base/pathsplit.h"

namespace fdk {

namespace {
std::size_t afterLast(std::string_view path, std::string_view separators) {
  const std::size_t at = path.find_last_of(separators);
  return at == std::string_view::npos ? 0 : at + 1;
}
}  // namespace

std::string folderPart(std::string_view path) { return std::string(path.substr(0, afterLast(path, "/"))); }
std::string fileNamePart(std::string_view path) { return std::string(path.substr(afterLast(path, "/"))); }
std::string folderPartAnySeparator(std::string_view path) { return std::string(path.substr(0, afterLast(path, "/\\"))); }
std::string fileNamePartAnySeparator(std::string_view path) { return std::string(path.substr(afterLast(path, "/\\"))); }

}  // namespace fdk
