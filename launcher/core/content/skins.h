#pragma once
// The Q1 Skins page's lists and previews: the skin archives of the Quake skin
// folder, and which picture of an archive a preview shows.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "core/archive/catalogue.h"
#include "core/store/settings.h"

namespace fdk {

// "(none)", then every "*.zip" of the skin folder (any letter case) without its
// extension, hidden names left out, sorted without regard to case.
std::vector<std::string> SkinListItems(const GameSettings& quake);

// The archive of a listed skin, found without regard to letter case; nullopt
// for "(none)" and for a skin whose archive is gone.
std::optional<std::string> SkinArchive(const GameSettings& quake, const std::string& item);

// The entry that previews the skin archive listed last: the first, or the third
// when the first is a folder entry (archives that start with "qw/" and
// "qw/skins/"). nullopt when the archive has no such entry or it is a folder.
std::optional<std::size_t> SkinPreviewEntry(const Tzipform& zip);

// A skin picture extracted for a preview into a private folder of its own, so
// that it can never take the place of, or remove, a file that was there. The
// folder goes with this object.
class SkinPreviewCopy {
 public:
  // Lists archive, then extracts its preview entry below workFolder.
  static Result<SkinPreviewCopy> Extract(const std::string& archive, Tzipform& zip, const std::string& workFolder);

  SkinPreviewCopy(SkinPreviewCopy&& other) noexcept;
  SkinPreviewCopy& operator=(SkinPreviewCopy&&) = delete;
  SkinPreviewCopy(const SkinPreviewCopy&) = delete;
  ~SkinPreviewCopy();

  // The picture: the entry's file name alone, in the private folder.
  const std::string& path() const { return path_; }

 private:
  SkinPreviewCopy(std::string folder, std::string path) : folder_(std::move(folder)), path_(std::move(path)) {}
  std::string folder_;
  std::string path_;
};

}  // namespace fdk
