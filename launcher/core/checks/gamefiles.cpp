#include "core/checks/gamefiles.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "base/text.h"
#include "core/platform/listing.h"
#include "formats/pak.h"

namespace fdk {

namespace {

std::optional<int> pakNumber(std::string_view name) {
  const std::string lower = lowerAsciiCopy(name);
  if (!lower.starts_with("pak") || !lower.ends_with(".pak")) return std::nullopt;
  const std::string_view digits = std::string_view(lower).substr(3, lower.size() - 7);
  // The engines write numbers without leading zeros: "pak01.pak" is never read.
  if (digits.empty() || digits.size() > 6 || (digits.size() > 1 && digits.front() == '0')) return std::nullopt;
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
  int number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

}  // namespace

PakFiles PakFilesIn(const std::string& folder) {
  PakFiles paks;
  for (const std::string& name : ListFolder(folder, "pak*.pak", {EntryKind::Files})) {
    const std::optional<int> number = pakNumber(name);
    if (!number) continue;
    paks.push_back({name, *number});
  }
  // The listing is sorted by name; a stable sort keeps that order within a number.
  std::stable_sort(paks.begin(), paks.end(), [](const PakFile& a, const PakFile& b) { return a.number < b.number; });
  return paks;
}

bool PakHolds(const std::string& path, std::string_view member) {
  auto file = formats::InputFile::open(path);
  return file && formats::findPakMember(*file, member).has_value();
}

}  // namespace fdk
