#pragma once
// An install's two passes told to its host: the first counts every entry of
// an archive, the second hands the extraction's progress on (each entry done
// with, and the bytes written inside a large one).
#include <string>

#include "core/archive/catalogue.h"
#include "core/install/installhost.h"

namespace fdk {

// The first pass: every entry's size of the archive listed last, or of the
// archive at path, which adds nothing when it cannot be listed (the second
// pass reports it).
inline void CountListedEntries(const Tzipform& zip, InstallHost& host) {
  for (const ArchiveRecord& record : zip.records()) host.counted(record.size);
}
inline void CountEntries(const std::string& path, Tzipform& zip, InstallHost& host) {
  if (!path.empty() && zip.ListArchive(path)) CountListedEntries(zip, host);
}

class HostProgress : public ExtractObserver {
 public:
  explicit HostProgress(InstallHost& host) : host_(host) {}
  void EntryDone(const ArchiveRecord&, std::uint64_t bytes) override { host_.done(bytes); }
  void EntryProgress(const ArchiveRecord&, std::uint64_t bytesDone) override { host_.within(bytesDone); }

 private:
  InstallHost& host_;
};

}  // namespace fdk
