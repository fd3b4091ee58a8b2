#include "core/archive/extraction.h"

#include <optional>
#include <string>
#include <string_view>

#include "core/placement/entrypath.h"

namespace fdk {

namespace {

// How often a large entry tells its progress: often enough for a bar to move
// smoothly, rarely enough to cost nothing.
constexpr std::uint64_t kProgressStep = 4u << 20;

std::string bytesText(std::uint64_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

// The entry's place: its own path, or the file name alone straight in the
// destination. Nothing when it is a folder that is not kept.
std::optional<EntryPath> placeOf(const ArchiveRecord& record, EntryPath path, bool keepFolders) {
  // A folder by its attributes, stored without the trailing "/".
  if (record.isFolder && !path.isFolder()) {
    path.folders.push_back(std::move(path.name));
    path.name.clear();
  }
  if (!keepFolders) {
    if (path.isFolder()) return std::nullopt;
    return path.withoutFolders();
  }
  return path;
}

// Copies the entry's bytes into the file in chunks, holding the entry to its
// declared size both ways: more bytes than declared (a bomb or a lying
// header) stop the copy at once, fewer mean the data was cut short.
Status copyData(ExtractRun& run, EntryReader& reader, PendingFile& file, const ArchiveRecord& record) {
  std::uint64_t done = 0;
  std::uint64_t told = 0;
  for (;;) {
    Result<std::size_t> n = reader.Read(run.buffer.data(), run.buffer.size());
    if (!n) return Error{"its data is damaged (" + n.error().text + ")"};
    if (*n == 0) break;
    done += *n;
    if (done > record.size) return Error{"its data inflates past its declared size of " + bytesText(record.size)};
    if (Status wrote = file.Write(std::string_view(run.buffer.data(), *n)); !wrote) return wrote;
    if (run.observer != nullptr && done - told >= kProgressStep) {
      run.observer->EntryProgress(record, done);
      told = done;
    }
  }
  if (done < record.size)
    return Error{"its data ends after " + bytesText(done) + " of the declared " + bytesText(record.size)};
  return {};
}

Status writeFile(ExtractRun& run, EntrySource& source, std::size_t index, const ArchiveRecord& record,
                 const EntryPath& place) {
  // The data is opened first: an entry that cannot be read (encrypted, an
  // unknown method) touches nothing on disk.
  Result<std::unique_ptr<EntryReader>> reader = source.Open(index);
  if (!reader) return Error{"its data cannot be read (" + reader.error().text + ")"};
  Result<PendingFile> file = run.into.Begin(place, run.overwrite);
  if (!file) return file.error();
  if (Status copied = copyData(run, **reader, *file, record); !copied) return copied;
  return file->Commit();
}

}  // namespace

bool WillWrite(Placement& into, const ArchiveRecord& record, bool keepFolders, bool overwrite) {
  Result<EntryPath> path = SafeEntryPath(record.name);
  if (!path || record.isLink) return false;
  std::optional<EntryPath> place = placeOf(record, std::move(*path), keepFolders);
  return place && !place->isFolder() && (overwrite || !into.Exists(*place));
}

void ExtractEntry(ExtractRun& run, EntrySource& source, std::size_t index, const ArchiveRecord& record) {
  Result<EntryPath> path = SafeEntryPath(record.name);
  if (!path) return run.report.skip(record.name, "not extracted: " + path.error().text);
  if (record.isLink)
    return run.report.skip(record.name, "not extracted: it is a symbolic link, and links are not created");
  std::optional<EntryPath> place = placeOf(record, std::move(*path), run.keepFolders);
  if (!place) return;
  if (place->isFolder()) {
    if (Status made = run.into.MakeFolders(*place); !made)
      run.report.skip(record.name, "not extracted: " + made.error().text);
    return;
  }
  if (!run.overwrite && run.into.Exists(*place)) {
    if (run.observer != nullptr) run.observer->EntryKept(record, *place);
    return;
  }
  if (Status wrote = writeFile(run, source, index, record, *place); !wrote)
    run.report.skip(record.name, "not extracted: " + wrote.error().text);
}

}  // namespace fdk
