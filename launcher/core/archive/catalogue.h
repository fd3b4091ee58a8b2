#pragma once
// The archive catalogue: the listing of one ZIP archive, and the extraction
// of its entries. Each use (a page's handler, a launch, an install) holds a
// catalogue of its own, so no one depends on what another opened last.
//
// Archives come from the internet. Extraction never writes outside its
// destination folder, never creates a symbolic link, never leaves a partial
// file behind, and reports every entry it leaves out and why.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/report.h"
#include "base/result.h"
#include "core/placement/entrypath.h"

namespace fdk {

class Placement;

struct ArchiveRecord {
  std::string name;  // as stored ("/" between folders), as UTF-8 where the archive used another code page
  std::uint64_t compressedSize = 0;
  std::uint64_t size = 0;  // uncompressed, as the archive declares it
  bool isLink = false;     // a symbolic link by its external attributes
  bool isFolder = false;   // a trailing "/", or a folder by its external attributes
  std::optional<std::uint32_t> crc;  // the CRC-32 of its data, as the archive declares it
};

// Told about the progress of an extraction, so a progress window can move.
class ExtractObserver {
 public:
  virtual ~ExtractObserver() = default;
  // Once per selected entry when it is done with, whether it was written,
  // kept because a file was there, or left out: bytes is its declared size,
  // so the done count reaches the listed total. A written entry wrote exactly
  // that many bytes: an entry whose data inflates past its declared size is
  // stopped there and left out, as is one whose data ends short of it.
  virtual void EntryDone(const ArchiveRecord& entry, std::uint64_t bytes) = 0;
  // Now and then while a large entry is written: bytes written of it so far.
  virtual void EntryProgress(const ArchiveRecord& entry, std::uint64_t bytesDone) {
    (void)entry;
    (void)bytesDone;
  }
  // Before EntryDone, for a file entry not written because something (a
  // file, a link, a folder) is already at its place, which stays as it was.
  virtual void EntryKept(const ArchiveRecord& entry, const EntryPath& place) {
    (void)entry;
    (void)place;
  }
};

class Tzipform {
 public:
  Tzipform();
  ~Tzipform();
  Tzipform(const Tzipform&) = delete;
  Tzipform& operator=(const Tzipform&) = delete;

  // Replaces the catalogue with the entries of the archive at path. A
  // missing, unreadable or damaged archive leaves the catalogue empty and
  // the result says why; an archive without entries lists nothing and is fine.
  // The archive stays open until the next listing, so an extraction reads
  // exactly the archive that was listed.
  Status ListArchive(const std::string& path);

  // Index of the first entry whose name contains text, both compared after
  // UpperCaseUmlaut; nothing when none does.
  std::optional<std::size_t> FindArchiveEntry(std::string_view text) const;

  // Extracts the entries of the archive listed last that `selection` names: one
  // stored name, or a wildcard ("*.*" selects every entry, names without a
  // dot too). keepFolders writes below folder under the stored folder names,
  // else every file straight into folder. overwrite replaces existing files;
  // else a file that exists (in any letter case) is left untouched, which is
  // neither an error nor reported (the observer is told: EntryKept). Entries
  // left out for any other reason are in the report, named with why.
  Report ExtractArchive(std::string_view selection, const std::string& folder, bool keepFolders, bool overwrite,
                        ExtractObserver* observer = nullptr);
  // The same into a placement an install run keeps across many calls, so the
  // folder listings are read once per run.
  Report ExtractArchive(std::string_view selection, Placement& into, bool keepFolders, bool overwrite,
                        ExtractObserver* observer = nullptr);

  // One entry by its index, into a placement an install run keeps: for
  // installers that decide entry by entry (a stored name may hold "*" or "?",
  // and may be stored twice).
  Report ExtractEntry(std::size_t index, Placement& into, bool keepFolders, bool overwrite,
                      ExtractObserver* observer = nullptr);

  // Bytes free for this user on the disk that holds a folder. Before it
  // writes anything, an extraction adds up the declared sizes of the files it
  // would write and, when they do not fit, writes nothing and reports why, so
  // that a small archive cannot fill the disk. Tests stand in a full disk here.
  using FreeSpaceQuery = std::function<Result<std::uint64_t>(const std::string& folder)>;
  void SetFreeSpaceQuery(FreeSpaceQuery query) { freeSpace_ = std::move(query); }
  // The same weighing for every entry of the archive listed last, for an
  // installer that extracts entry by entry and must know before the first.
  Status CheckRoomForAll(Placement& into, bool keepFolders, bool overwrite) const;

  // Kept for its caller; the ZIP library needs no folder to be loaded from.
  void SetUnzipFolder(const std::string& folder) { (void)folder; }

  // The catalogue's rows by index ("zipn", "zipcs", "ziprs"); an index at or
  // past size() throws std::out_of_range.
  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  const std::string& entryName(std::size_t i) const { return records_.at(i).name; }
  std::uint64_t compressedSizeOf(std::size_t i) const { return records_.at(i).compressedSize; }
  std::uint64_t sizeOf(std::size_t i) const { return records_.at(i).size; }
  const ArchiveRecord& record(std::size_t i) const { return records_.at(i); }
  const std::vector<ArchiveRecord>& records() const { return records_; }
  // The archive listed last ("" after a listing that failed).
  const std::string& archivePath() const { return path_; }

 private:
  struct OpenArchive;
  std::vector<std::size_t> Select(std::string_view selection) const;
  Report Extract(const std::vector<std::size_t>& selected, Placement& into, bool keepFolders, bool overwrite,
                 ExtractObserver* observer);
  Status CheckRoom(const std::vector<std::size_t>& selected, Placement& into, bool keepFolders, bool overwrite) const;
  void TellDone(const std::vector<std::size_t>& selected, ExtractObserver* observer) const;
  void Clear();

  std::vector<ArchiveRecord> records_;
  std::string path_;
  std::unique_ptr<OpenArchive> archive_;
  FreeSpaceQuery freeSpace_;
  // Built on first use: names after UpperCaseUmlaut for FindArchiveEntry, and
  // indices by lower-case name for selecting one stored name.
  mutable std::vector<std::string> upperNames_;
  mutable std::unordered_map<std::string, std::vector<std::size_t>> nameIndex_;
};

}  // namespace fdk
