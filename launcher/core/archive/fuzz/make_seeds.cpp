// Writes the archive fuzzer's starting corpus: small valid archives of the
// shapes add-ons come in, and the hostile entries and archives that listing
// and extraction must refuse.
//   fragdock_archive_fuzz_seeds CORPUS_DIR
#include <filesystem>
#include <string>
#include <vector>

#include "testing/archive.h"

using fdk::ArchiveEntry;
using Kind = ArchiveEntry::Kind;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  const std::string text = "// a config\nbind x +attack\n";
  const std::vector<std::pair<const char*, std::vector<ArchiveEntry>>> seeds = {
      {"plain.zip",
       {{"mymod/", "", Kind::Folder}, {"mymod/autoexec.cfg", text}, {"readme.txt", "hi", Kind::File, false}}},
      {"hostile.zip", {{"../evil", "x"}, {"C:evil", "x"}, {"a\\..\\..\\b", "x"}, {"link", "/etc", Kind::Link}}},
      {"cases.zip", {{"MAPS/DM1.BSP", "bsp"}, {"maps/dm1.bsp", "BSP"}, {"k\x84se.txt", "cp437"}}},
  };
  for (const auto& [name, entries] : seeds)
    if (!fdk::WriteArchive((dir / name).string(), entries).ok()) return 1;
  // Three entries over one deflated run: the overlapping-entry bomb, kept small.
  const ArchiveEntry shared{"maps/a.bsp", std::string(64 << 10, '\0')};
  if (!fdk::WriteOverlappingArchive((dir / "overlap.zip").string(), shared, {"maps/a.bsp", "maps/b.bsp", "maps/c.bsp"})
           .ok())
    return 1;
  return 0;
}
