// libFuzzer target: member lookup straight from an archive, the way meshpeek
// finds models and skins, and each found member read as a model and as a
// skin through its window into the archive.
#include <cstddef>
#include <cstdint>

#include "formats/md2.h"
#include "formats/pak.h"
#include "formats/pcx.h"

namespace {

void readMember(const formats::ByteSource& archive, const formats::PakEntry& entry) {
  if (!formats::pakEntryFits(entry, archive.size())) return;
  const formats::SourceSlice member(archive, static_cast<uint64_t>(entry.offset), static_cast<uint64_t>(entry.length));
  (void)formats::readMd2(member, entry.name);
  (void)formats::readPcx(member, entry.name, formats::PcxRows::Continuous, formats::kPcxMaxSide);
  uint8_t past = 0;
  if (member.read(member.size(), {&past, 1})) __builtin_trap();  // the window ends with the member
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const formats::MemorySource archive(formats::Bytes(data, size));
  for (const char* name : {"tris.md2", "skins/a.pcx"}) {
    if (auto entry = formats::findPakMember(archive, name)) readMember(archive, *entry);
  }
  auto directory = formats::readPakDirectory(archive, "fuzz.pak");
  if (!directory) return 0;
  // The lookup that reads the directory a block at a time must agree with
  // the one over the whole directory in memory.
  for (const auto& entry : directory->entries) {
    const auto found = formats::findPakMember(archive, entry.name);
    const formats::PakEntry* expected = formats::findPakEntry(directory->entries, entry.name);
    if (!found || found->offset != expected->offset || found->length != expected->length) __builtin_trap();
    readMember(archive, *found);
  }
  return 0;
}
