// libFuzzer target: PAK directories, lookups and the map list.
#include <cstddef>
#include <cstdint>

#include "formats/pak.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto directory = formats::readPakDirectory(formats::Bytes(data, size), "fuzz.pak");
  if (!directory) return 0;
  const auto& entries = directory->entries;
  (void)formats::pakMapList(entries);
  for (const auto& entry : entries) {
    const formats::PakEntry* found = formats::findPakEntry(entries, entry.name);
    if (!found) __builtin_trap();  // every listed name must be found again
    if (formats::pakEntryFits(*found, size)) {
      // The member's bytes lie inside the archive: touch the first and last.
      volatile uint8_t sink = found->length > 0 ? data[found->offset] ^ data[found->offset + found->length - 1] : 0;
      (void)sink;
    }
  }
  return 0;
}
