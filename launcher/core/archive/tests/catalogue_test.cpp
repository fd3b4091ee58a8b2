#include "core/archive/catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "core/archive/tests/fixtures.h"
#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;
using namespace fdk::testfix;
using Kind = ArchiveEntry::Kind;

namespace {

std::string archiveOf(const TempDir& dir, const std::vector<ArchiveEntry>& entries, const std::string& name = "a.zip") {
  const std::string path = dir.file(name);
  Status written = WriteArchive(path, entries);
  EXPECT_TRUE(written.ok()) << written.error().text;
  return path;
}

Names namesOf(const Tzipform& zip) {
  Names names;
  for (std::size_t i = 0; i < zip.size(); ++i) names.push_back(zip.entryName(i));
  return names;
}

}  // namespace

TEST(ListArchive, ThreeEntriesGiveThreeAlignedRowsAndAMissingArchiveEmptiesThem) {
  TempDir dir;
  const std::string path = archiveOf(dir, {{"readme.txt", "0123456789", Kind::File, false},
                                           {"mymod/pak0.pak", std::string(100000, 'p'), Kind::File, true},
                                           {"mymod/noise.bin", noise(3000), Kind::File, false}});
  Tzipform zip;
  ASSERT_TRUE(zip.ListArchive(path).ok());
  ASSERT_EQ(zip.size(), 3u);
  EXPECT_EQ(namesOf(zip), (Names{"readme.txt", "mymod/pak0.pak", "mymod/noise.bin"}));
  EXPECT_EQ(zip.sizeOf(0), 10u);
  EXPECT_EQ(zip.compressedSizeOf(0), 10u);  // stored
  EXPECT_EQ(zip.sizeOf(1), 100000u);
  EXPECT_LT(zip.compressedSizeOf(1), 1000u);  // deflated
  EXPECT_EQ(zip.sizeOf(2), 3000u);
  EXPECT_EQ(zip.compressedSizeOf(2), 3000u);
  EXPECT_EQ(zip.archivePath(), path);

  Status missing = zip.ListArchive(dir.file("missing.zip"));
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().text.find("missing.zip"), std::string::npos);
  EXPECT_EQ(missing.error().kind, ErrorKind::Missing);
  EXPECT_EQ(zip.size(), 0u);
  EXPECT_TRUE(zip.records().empty());
  EXPECT_EQ(zip.archivePath(), "");
  EXPECT_THROW(zip.entryName(0), std::out_of_range);
}

TEST(ListArchive, DamagedOrUnreadableArchivesEmptyTheCatalogueAndSayWhy) {
  TempDir dir;
  const std::string good = archiveOf(dir, {{"a.txt", "a"}, {"b.txt", std::string(5000, 'b')}});
  const std::string bytes = readBytes(good);
  writeBytes(dir.file("garbage.zip"), "PK\x03\x04 this is not an archive at all");
  writeBytes(dir.file("cut.zip"), bytes.substr(0, bytes.size() - 30));  // the end of the directory is gone
  writeBytes(dir.file("empty.zip"), "");
  std::filesystem::create_directories(dir.file("folder.zip"));
  ASSERT_EQ(::mkfifo(dir.file("fifo.zip").c_str(), 0600), 0);  // would block a reader that opens it blindly

  for (const char* name : {"garbage.zip", "cut.zip", "empty.zip", "folder.zip", "fifo.zip"}) {
    Tzipform zip;
    ASSERT_TRUE(zip.ListArchive(good).ok());
    Status listed = zip.ListArchive(dir.file(name));
    ASSERT_FALSE(listed.ok()) << name;
    EXPECT_NE(listed.error().text.find(name), std::string::npos) << listed.error().text;
    const bool notAFile = std::string(name) == "folder.zip" || std::string(name) == "fifo.zip";
    EXPECT_EQ(listed.error().kind, notAFile ? ErrorKind::Failed : ErrorKind::Damaged) << listed.error().text;
    EXPECT_EQ(zip.size(), 0u) << name;
    EXPECT_TRUE(zip.ExtractArchive("*.*", dir.file("out"), true, false).empty()) << name;
    EXPECT_FALSE(dir.exists("out")) << name;
  }
}

TEST(ListArchive, AnArchiveWithoutEntriesListsNothingAndIsFine) {
  TempDir dir;
  // Only the end record: signature, then zero counts, sizes and offsets.
  writeBytes(dir.file("none.zip"), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  Tzipform zip;
  Status listed = zip.ListArchive(dir.file("none.zip"));
  EXPECT_TRUE(listed.ok()) << listed.error().text;
  EXPECT_EQ(zip.size(), 0u);
}

TEST(ListArchive, SizesPast4GiBOfSignedCountersStayExact) {
  TempDir dir;
  const std::string path = archiveOf(dir, {{"huge.pak", std::string(1000, 'x')}});
  // Beyond 2^31: a signed 32-bit counter or an int parse would go wrong here.
  declareSize(path, "huge.pak", 3000000000u);
  Tzipform zip;
  ASSERT_TRUE(zip.ListArchive(path).ok());
  EXPECT_EQ(zip.sizeOf(0), 3000000000u);
}

TEST(ListArchive, LinksAndFoldersAreMarkedFromTheirAttributes) {
  TempDir dir;
  const std::string path =
      archiveOf(dir, {{"maps/", "", Kind::Folder}, {"maps/dm1.bsp", "bsp"}, {"maps/link", "/etc/passwd", Kind::Link}});
  Tzipform zip;
  ASSERT_TRUE(zip.ListArchive(path).ok());
  ASSERT_EQ(zip.size(), 3u);
  EXPECT_TRUE(zip.record(0).isFolder);
  EXPECT_FALSE(zip.record(0).isLink);
  EXPECT_FALSE(zip.record(1).isFolder);
  EXPECT_FALSE(zip.record(1).isLink);
  EXPECT_TRUE(zip.record(2).isLink);
  EXPECT_FALSE(zip.record(2).isFolder);
}

TEST(ListArchive, NamesInAnOldCodePageBecomeUtf8AndControlBytesStayAsStored) {
  TempDir dir;
  // 0x84 is "ä" in code page 437, which archives made on old Windows use.
  const std::string path = archiveOf(dir, {{"k\x84se.txt", "x"}, {"bad\x01name", "x"}});
  Tzipform zip;
  ASSERT_TRUE(zip.ListArchive(path).ok());
  EXPECT_EQ(zip.entryName(0), "k\xC3\xA4se.txt");
  EXPECT_EQ(zip.entryName(1), "bad\x01name");
}

TEST(FindArchiveEntry, ContainsWithoutCaseLowestIndexWins) {
  TempDir dir;
  const std::string path =
      archiveOf(dir, {{"readme.txt", ""}, {"MYMOD/PAK0.PAK", ""}, {"other/pak0.pak", ""}, {"K\xC3\x84SE/x.txt", ""}});
  Tzipform zip;
  EXPECT_EQ(zip.FindArchiveEntry("pak0"), std::nullopt);  // nothing listed yet
  ASSERT_TRUE(zip.ListArchive(path).ok());
  struct Row {
    const char* text;
    std::optional<std::size_t> index;
  };
  for (const Row& row : {Row{"pak0.pak", 1}, Row{"PAK0.PAK", 1}, Row{"other/PAK0", 2}, Row{"mod/pak", 1},
                         Row{"README", 0}, Row{".txt", 0}, Row{"k\xC3\xA4se", 3}, Row{"/x.TXT", 3}, Row{"pak1.pak", std::nullopt},
                         Row{"readme.txt ", std::nullopt}, Row{"", 0}})
    EXPECT_EQ(zip.FindArchiveEntry(row.text), row.index) << row.text;

  ASSERT_TRUE(zip.ListArchive(archiveOf(dir, {{"only.txt", ""}}, "b.zip")).ok());
  EXPECT_EQ(zip.FindArchiveEntry("pak0"), std::nullopt);  // nothing found of the archive listed before
  EXPECT_EQ(zip.FindArchiveEntry("ONLY"), 0u);
}
