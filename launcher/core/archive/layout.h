#pragma once
// Where each entry's bytes lie in a ZIP archive. The ZIP library lists an
// archive whose entries share bytes without complaint and inflates the shared
// data once per entry: ten entries over one deflated run of 100 MiB make a
// download of 100 KiB write 1,000 MiB. No honest archive has entries that
// overlap, so such an archive is refused as a whole.
//
// The check reads the central directory itself, every offset and length
// checked against the file, and holds it to what the ZIP library listed, so
// the entries checked are the entries that will be extracted.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/result.h"

namespace fdk {

// What the ZIP library listed of one entry: its name as shown, its stored
// name byte for byte, and its compressed size.
struct ListedEntry {
  std::string name;
  std::string rawName;
  std::uint64_t compressedSize = 0;
};

// Reads exactly `length` bytes at `offset` of the archive into `into`; false
// when it cannot (a read error, or the file ends first).
using ReadArchiveBytes = std::function<bool(std::uint64_t offset, std::size_t length, char* into)>;

// Fine when every entry's local header and data lie inside the file and
// apart from every other entry's. Otherwise the error says what is wrong and
// names the entries.
Status CheckEntriesApart(const ReadArchiveBytes& read, std::uint64_t fileSize, const std::vector<ListedEntry>& listed);

}  // namespace fdk
