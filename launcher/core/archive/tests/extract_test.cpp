#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/archive/catalogue.h"
#include "core/archive/tests/fixtures.h"
#include "core/placement/placement.h"
#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;
using namespace fdk::testfix;
using Kind = ArchiveEntry::Kind;

namespace {

void listArchive(Tzipform& zip, const TempDir& dir, const std::vector<ArchiveEntry>& entries) {
  const std::string path = dir.file("a.zip");
  Status written = WriteArchive(path, entries);
  ASSERT_TRUE(written.ok()) << written.error().text;
  Status listed = zip.ListArchive(path);
  ASSERT_TRUE(listed.ok()) << listed.error().text;
}

struct Recorder : ExtractObserver {
  std::string folder;  // where the temporary files are looked for
  std::vector<std::pair<std::string, std::uint64_t>> done;
  std::vector<std::uint64_t> progress;
  std::vector<std::uint64_t> onDisk;  // bytes in temporary files at each progress report

  void EntryDone(const ArchiveRecord& entry, std::uint64_t bytes) override { done.emplace_back(entry.name, bytes); }
  void EntryProgress(const ArchiveRecord&, std::uint64_t bytesDone) override {
    progress.push_back(bytesDone);
    std::uint64_t bytes = 0;
    for (const std::string& name : tree(folder))
      if (holdsTemporary({name})) bytes += std::filesystem::file_size(folder + "/" + name);
    onDisk.push_back(bytes);
  }
};

}  // namespace

TEST(ExtractArchive, EveryKeepFoldersAndOverwriteCombination) {
  struct Row {
    bool keepFolders;
    bool overwrite;
    Names tree;
    std::string readme;  // what readme.txt holds afterwards
  };
  const std::vector<Row> rows = {
      {true, false, {"mymod/", "mymod/pak0.pak", "readme.txt"}, "old"},
      {true, true, {"mymod/", "mymod/pak0.pak", "readme.txt"}, "new readme"},
      {false, false, {"pak0.pak", "readme.txt"}, "old"},
      {false, true, {"pak0.pak", "readme.txt"}, "new readme"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "keepFolders " << row.keepFolders << ", overwrite " << row.overwrite);
    TempDir dir;
    Tzipform zip;
    listArchive(zip, dir, {{"mymod/", "", Kind::Folder}, {"mymod/pak0.pak", "new pak"}, {"readme.txt", "new readme"}});
    dir.write("game/readme.txt", "old");
    Report report = zip.ExtractArchive("*.*", dir.file("game"), row.keepFolders, row.overwrite);
    EXPECT_TRUE(report.empty()) << report.text();
    EXPECT_EQ(tree(dir.file("game")), row.tree);
    EXPECT_EQ(dir.read("game/readme.txt"), row.readme);
    EXPECT_EQ(dir.read(row.keepFolders ? "game/mymod/pak0.pak" : "game/pak0.pak"), "new pak");
  }
}

TEST(ExtractArchive, SelectsOneNameOrAWildcardWithoutCase) {
  struct Row {
    const char* selection;
    Names tree;
  };
  const std::vector<Row> rows = {
      {"*.*", {"README", "maps/", "maps/B.BSP", "maps/a.bsp", "notes.txt"}},
      {"*.bsp", {"maps/", "maps/B.BSP", "maps/a.bsp"}},
      {"maps/*", {"maps/", "maps/B.BSP", "maps/a.bsp"}},
      {"MAPS/A.BSP", {"maps/", "maps/a.bsp"}},
      {"readme", {"README"}},
      {"?otes.txt", {"notes.txt"}},
      {"maps/c.bsp", {}},
      {"a.bsp", {}},  // a plain name is the whole stored name, not its end
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.selection);
    TempDir dir;
    Tzipform zip;
    listArchive(zip, dir, {{"maps/a.bsp", "a"}, {"MAPS/B.BSP", "b"}, {"README", "r"}, {"notes.txt", "n"}});
    // MAPS and maps are two folders in the archive and one here: the folder
    // made for the first entry takes the second.
    EXPECT_TRUE(zip.ExtractArchive(row.selection, dir.file("game"), true, false).empty());
    Names got = tree(dir.file("game"));
    EXPECT_EQ(got, row.tree);
  }
}

TEST(ExtractArchive, NeverOverwriteHoldsAcrossLetterCase) {
  TempDir dir;
  Tzipform zip;
  listArchive(zip, dir, {{"ID1/PAK0.PAK", "archive pak"}, {"MAPS/x.bsp", "x"}, {"Id1/Config.CFG", "cfg"}});
  dir.write("game/id1/pak0.pak", "the user's pak");
  dir.write("game/maps/old.bsp", "old");
  Report report = zip.ExtractArchive("*.*", dir.file("game"), true, false);
  EXPECT_TRUE(report.empty()) << report.text();
  EXPECT_EQ(tree(dir.file("game")),
            (Names{"id1/", "id1/Config.CFG", "id1/pak0.pak", "maps/", "maps/old.bsp", "maps/x.bsp"}));
  EXPECT_EQ(dir.read("game/id1/pak0.pak"), "the user's pak");

  // The same without folders: "PAK0.PAK" meets "pak0.pak" straight in the folder.
  dir.write("flat/pak0.pak", "the user's pak");
  EXPECT_TRUE(zip.ExtractArchive("*.pak", dir.file("flat"), false, false).empty());
  EXPECT_EQ(tree(dir.file("flat")), Names{"pak0.pak"});
  EXPECT_EQ(dir.read("flat/pak0.pak"), "the user's pak");
}

TEST(ExtractArchive, ContentRoundTripsForStoredDeflatedEmptyAndLargeEntries) {
  TempDir dir;
  Tzipform zip;
  const std::vector<ArchiveEntry> entries = {{"empty.txt", ""},
                                             {"stored.bin", noise(70000, 7), Kind::File, false},
                                             {"deflated.bin", noise(70000, 9), Kind::File, true},
                                             {"zeros.bin", std::string(3 << 20, '\0'), Kind::File, true}};
  listArchive(zip, dir, entries);
  ASSERT_TRUE(zip.ExtractArchive("*.*", dir.file("game"), true, false).empty());
  for (const ArchiveEntry& e : entries) EXPECT_EQ(dir.read("game/" + e.name), e.bytes) << e.name;
}

TEST(ExtractArchive, TheObserverHearsEveryEntryOnceAndProgressWithinLargeOnes) {
  TempDir dir;
  Tzipform zip;
  const std::size_t large = 10u << 20;
  listArchive(zip, dir,
              {{"kept.txt", "12345"},
               {"big.bin", std::string(large, 'z')},
               {"../evil", "x"},
               {"dir/", "", Kind::Folder}});
  dir.write("game/KEPT.TXT", "the user's");
  Recorder seen;
  seen.folder = dir.file("game");
  Report report = zip.ExtractArchive("*.*", dir.file("game"), true, false, &seen);
  using Done = std::vector<std::pair<std::string, std::uint64_t>>;
  EXPECT_EQ(seen.done, (Done{{"kept.txt", 5}, {"big.bin", large}, {"../evil", 1}, {"dir/", 0}}));
  ASSERT_GE(seen.progress.size(), 2u);
  EXPECT_TRUE(std::is_sorted(seen.progress.begin(), seen.progress.end()));
  EXPECT_LE(seen.progress.back(), large);
  // The entry streams to disk as it inflates: what was reported is already
  // in the temporary file, not held in memory until the end.
  EXPECT_EQ(seen.onDisk, seen.progress);
  EXPECT_EQ(report.size(), 1u) << report.text();
}

TEST(ExtractArchive, NothingHappensAfterAFailedListingOrForNoMatch) {
  TempDir dir;
  Tzipform zip;
  listArchive(zip, dir, {{"a.txt", "a"}});
  Recorder seen;
  EXPECT_TRUE(zip.ExtractArchive("b.txt", dir.file("game"), true, false, &seen).empty());
  EXPECT_FALSE(zip.ListArchive(dir.file("missing.zip")).ok());
  EXPECT_TRUE(zip.ExtractArchive("*.*", dir.file("game"), true, false, &seen).empty());
  EXPECT_TRUE(seen.done.empty());
  EXPECT_FALSE(dir.exists("game"));
}

TEST(ExtractArchive, AnInstallRunAsksEntryByEntryThroughOnePlacement) {
  TempDir dir;
  Tzipform zip;
  std::vector<ArchiveEntry> entries;
  for (int i = 0; i < 300; ++i) entries.push_back({"MyMod/File" + std::to_string(i) + ".dat", std::to_string(i)});
  listArchive(zip, dir, entries);
  dir.write("game/mymod/file7.dat", "the user's");
  Result<Placement> into = Placement::Open(dir.file("game"));
  ASSERT_TRUE(into.ok());
  for (std::size_t i = 0; i < zip.size(); ++i) {
    Result<EntryPath> path = SafeEntryPath(zip.entryName(i));
    ASSERT_TRUE(path.ok());
    if (into->Exists(*path)) continue;  // the caller's "a file of the MOD already exists" branch
    Report report = zip.ExtractArchive(zip.entryName(i), *into, true, false);
    EXPECT_TRUE(report.empty()) << report.text();
  }
  const Names got = tree(dir.file("game"));
  EXPECT_EQ(got.size(), 301u);  // the folder and 300 files, one of them the user's
  EXPECT_EQ(got.front(), "mymod/");
  EXPECT_EQ(dir.read("game/mymod/file7.dat"), "the user's");
  EXPECT_EQ(dir.read("game/mymod/File299.dat"), "299");
}

TEST(ExtractArchive, AnUnusableDestinationIsReportedOnce) {
  TempDir dir;
  Tzipform zip;
  listArchive(zip, dir, {{"a.txt", "a"}, {"b.txt", "b"}});
  dir.write("plain", "a file where the folder should be");
  Recorder seen;
  Report report = zip.ExtractArchive("*.*", dir.file("plain"), true, false, &seen);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report.entries()[0].what, dir.file("plain"));
  EXPECT_EQ(seen.done.size(), 2u);
}

// What would be written is weighed against the disk's free space before
// anything is written; the disk here is a stand-in that reports `free`.
TEST(ExtractArchive, WritesNothingWhenWhatItWouldWriteDoesNotFitTheDisk) {
  struct Row {
    const char* what;
    Result<std::uint64_t> free;
    const char* selection;
    bool overwrite;
    std::string refusalHolds;  // empty when everything fits
  };
  const std::vector<Row> rows = {
      // The user's A.BIN is kept and ../evil refused: neither needs room.
      {"one byte short", 1199, "*.*", false, "need 1200 bytes"},
      {"exactly enough", 1200, "*.*", false, ""},
      {"a replaced file is counted", 1200, "*.*", true, "need 1800 bytes, and the disk of"},
      {"only what is selected counts", 600, "b.bin", false, ""},
      {"a disk that cannot tell", Error{"cannot tell how much room the disk has"}, "*.*", false, "cannot tell"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    Tzipform zip;
    listArchive(zip, dir,
                {{"a.bin", noise(600, 1)},
                 {"b.bin", noise(600, 2)},
                 {"maps/", "", Kind::Folder},
                 {"maps/c.bin", noise(600, 3)},
                 {"../evil", noise(5000)}});
    dir.write("game/A.BIN", "the user's");
    std::vector<std::string> asked;
    zip.SetFreeSpaceQuery([&](const std::string& folder) {
      asked.push_back(folder);
      return row.free;
    });
    Recorder seen;
    Report report = zip.ExtractArchive(row.selection, dir.file("game"), true, row.overwrite, &seen);
    EXPECT_EQ(asked, std::vector<std::string>{dir.folder() + "game/"});
    if (row.refusalHolds.empty()) {
      EXPECT_NE(tree(dir.file("game")), Names{"A.BIN"});
      continue;
    }
    ASSERT_EQ(report.size(), 1u) << report.text();
    EXPECT_EQ(report.entries()[0].what, dir.file("a.zip"));
    EXPECT_NE(report.entries()[0].why.find(row.refusalHolds), std::string::npos) << report.text();
    EXPECT_EQ(tree(dir.file("game")), Names{"A.BIN"});
    EXPECT_EQ(seen.done.size(), 5u);  // the bar still reaches its total
  }
}
