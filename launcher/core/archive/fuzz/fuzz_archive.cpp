// libFuzzer target: list and extract archive bytes, then check that nothing
// was written outside the destinations, no link was made and no temporary
// file was left.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "base/pathsplit.h"
#include "core/archive/catalogue.h"
#include "testing/tempdir.h"

namespace fs = std::filesystem;

namespace {

// Extraction is skipped for archives that declare more: a fuzzed input must
// not fill the disk, and extraction never writes past the declared sizes.
constexpr std::uint64_t kMaxDeclaredBytes = 16u << 20;

bool fitsTheBudget(const fdk::Tzipform& zip) {
  std::uint64_t total = 0;
  for (const fdk::ArchiveRecord& r : zip.records()) {
    if (r.size > kMaxDeclaredBytes) return false;
    total += r.size;
  }
  return total <= kMaxDeclaredBytes;
}

// A name of the shape the placement gives its temporary files, ".NAME.tmpXXXXXX".
bool looksTemporary(const std::string& name) {
  const std::size_t at = name.rfind(".tmp");
  return name.size() > 10 && name[0] == '.' && at != std::string::npos && at + 10 == name.size();
}

void check(const fs::path& root, const std::set<std::string>& archiveNames) {
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string below = it->path().lexically_relative(root).string();
    const bool inDestination = below.rfind("a/b/", 0) == 0 || below == "a" || below == "a/b" || below == "in.zip";
    if (!inDestination || it->is_symlink()) __builtin_trap();
    const std::string name = it->path().filename().string();
    if (looksTemporary(name) && archiveNames.count(name) == 0) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fdk::TempDir dir;
  dir.write("in.zip", std::string_view(reinterpret_cast<const char*>(data), size));
  fdk::Tzipform zip;
  if (!zip.ListArchive(dir.file("in.zip")).ok()) return 0;
  std::set<std::string> names;
  for (std::size_t i = 0; i < zip.size(); ++i) {
    const std::optional<std::size_t> found = zip.FindArchiveEntry(zip.entryName(i));
    if (!found || *found > i) __builtin_trap();  // every name is found, at or before itself
    names.insert(fdk::fileNamePartAnySeparator(zip.entryName(i)));
  }
  if (!fitsTheBudget(zip)) return 0;
  // Two levels deep, so that an entry climbing out with "../../" lands where check() sees it.
  (void)zip.ExtractArchive("*.*", dir.file("a/b/kept"), true, false);
  (void)zip.ExtractArchive("*.*", dir.file("a/b/flat"), false, true);
  if (zip.size() > 0) (void)zip.ExtractArchive(zip.entryName(0), dir.file("a/b/one"), true, true);
  check(dir.path(), names);
  return 0;
}
