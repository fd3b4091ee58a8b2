#pragma once
// What the catalogue does with each selected entry, apart from the ZIP
// library: the name checks, links, existing files, and the streamed write
// through a temporary file. The catalogue supplies the entry bytes.
#include <cstddef>
#include <memory>
#include <vector>

#include "base/report.h"
#include "base/result.h"
#include "core/archive/catalogue.h"
#include "core/placement/placement.h"

namespace fdk {

// The bytes of one entry, decompressed and checked as they are read.
class EntryReader {
 public:
  virtual ~EntryReader() = default;
  // Up to size bytes; 0 at the end; an error when the data is damaged.
  virtual Result<std::size_t> Read(char* buffer, std::size_t size) = 0;
};

class EntrySource {
 public:
  virtual ~EntrySource() = default;
  virtual Result<std::unique_ptr<EntryReader>> Open(std::size_t index) = 0;
};

// One extraction call: where to, how, and what to tell.
struct ExtractRun {
  Placement& into;
  bool keepFolders;
  bool overwrite;
  ExtractObserver* observer;
  Report& report;
  std::vector<char> buffer;  // one chunk, reused for every entry
};

// Whether ExtractEntry would write a file for the entry (a safe name that is
// not a link nor a folder, and no file in its place unless overwriting).
bool WillWrite(Placement& into, const ArchiveRecord& record, bool keepFolders, bool overwrite);

// Puts one entry into place, or tells the report why it was left out. A
// file that exists (without overwrite) is left alone and not reported.
void ExtractEntry(ExtractRun& run, EntrySource& source, std::size_t index, const ArchiveRecord& record);

}  // namespace fdk
