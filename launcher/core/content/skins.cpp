#include "core/content/skins.h"

#include <algorithm>
#include <filesystem>
#include <stdlib.h>

#include "base/text.h"
#include "core/placement/placement.h"
#include "core/games/games.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"

namespace fdk {

namespace {
// A preview picture is a PCX of at most 4096 × 4096 that the converter accepts,
// run-length coded at worst twice its size: an entry declaring more is not one,
// and is not written to disk for a look.
constexpr std::uint64_t kMaxPreviewBytes = 64u << 20;
}  // namespace

std::vector<std::string> SkinListItems(const GameSettings& quake) {
  std::vector<std::string> items;
  // ListFolder matches "*.zip" without case: "GREEN.ZIP" is a skin archive too.
  for (const std::string& file : ListFolder(quake.Skins, "*.zip", {EntryKind::Files, true}))
    if (file.size() > 4) items.push_back(withoutLastFour(file));
  std::stable_sort(items.begin(), items.end(),
                   [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
  items.insert(items.begin(), kNoneItem);
  return items;
}

std::optional<std::string> SkinArchive(const GameSettings& quake, const std::string& item) {
  if (item == kNoneItem) return std::nullopt;
  return FindFileNoCase(quake.Skins, item + ".zip");
}

std::optional<std::size_t> SkinPreviewEntry(const Tzipform& zip) {
  if (zip.empty()) return std::nullopt;
  const std::size_t index = zip.sizeOf(0) == 0 ? 2 : 0;
  if (index >= zip.size() || zip.record(index).isFolder) return std::nullopt;
  return index;
}

Result<SkinPreviewCopy> SkinPreviewCopy::Extract(const std::string& archive, Tzipform& zip,
                                                 const std::string& workFolder) {
  if (Status listed = zip.ListArchive(archive); !listed) return listed.error();
  const std::optional<std::size_t> entry = SkinPreviewEntry(zip);
  if (!entry) return Error{archive + " holds no skin picture where one is looked for"};
  if (zip.sizeOf(*entry) > kMaxPreviewBytes) return Error{zip.entryName(*entry) + " is too large to be a skin picture"};
  std::string folder = withTrailingSep(workFolder) + ".skinpreview.XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) return Error{"cannot make a work folder in " + workFolder};
  // From here on the folder is removed again, whatever happens.
  SkinPreviewCopy copy(folder, "");
  Result<Placement> into = Placement::Open(folder);
  if (!into) return into.error();
  Report report = zip.ExtractEntry(*entry, *into, false, false);
  if (!report.empty()) return Error{report.text()};
  Result<EntryPath> place = SafeEntryPath(zip.entryName(*entry));
  if (!place) return place.error();
  copy.path_ = withTrailingSep(folder) + place->name;
  return copy;
}

SkinPreviewCopy::SkinPreviewCopy(SkinPreviewCopy&& other) noexcept
    : folder_(std::move(other.folder_)), path_(std::move(other.path_)) {
  other.folder_.clear();
}

SkinPreviewCopy::~SkinPreviewCopy() {
  if (folder_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

}  // namespace fdk
