#include "formats/pak.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "modelgen/writers.h"

namespace fs = std::filesystem;
using formats::PakEntry;
using modelgen::ByteVector;

namespace {

ByteVector bytesOf(const std::string& text) { return ByteVector(text.begin(), text.end()); }

ByteVector contents(const formats::LocatedFile& file) {
  ByteVector bytes(file.size());
  EXPECT_TRUE(file.read(0, bytes));
  return bytes;
}

ByteVector threeMaps() {
  return modelgen::encodePak({{"maps/base1.bsp", bytesOf("one")},
                              {"pics/colormap.pcx", bytesOf("two")},
                              {"maps/q2dm1.bsp", bytesOf("three")}});
}

class PakFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pak_test_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string write(const std::string& name, const ByteVector& bytes) {
    const fs::path path = dir_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  fs::path dir_;
};

}  // namespace

TEST(PakDirectory, LookupIgnoresCaseComparesWholeNamesAndTakesTheFirstOfTwins) {
  const std::vector<PakEntry> entries{{"models/monsters/tank/tris.md2", 100, 1},
                                      {"a/tris.md2", 200, 2},
                                      {"models/monsters/tank/TRIS.md2", 300, 3}};
  const struct {
    const char* name;
    int32_t offset;  // 0: no match
  } rows[] = {{"MODELS/MONSTERS/TANK/TRIS.MD2", 100}, {"a/tris.md2", 200}, {"tank/tris.md2", 0},
              {"models/monsters/tank/tris.md", 0},   {"", 0}};
  for (const auto& row : rows) {
    const PakEntry* found = formats::findPakEntry(entries, row.name);
    EXPECT_EQ(found ? found->offset : 0, row.offset) << row.name;
  }
}

TEST(PakDirectory, EntryCountIsTheWholeEntriesOfTheDirectoryLength) {
  ByteVector pak = threeMaps();
  modelgen::setI32(pak, 8, 130);  // two whole entries and a remainder of 2 bytes
  auto directory = formats::readPakDirectory(pak, "x.pak");
  ASSERT_TRUE(directory.ok()) << directory.error().text;
  ASSERT_EQ(directory->entries.size(), 2u);
  EXPECT_EQ(directory->entries[1].name, "pics/colormap.pcx");
  EXPECT_FALSE(directory->truncated);
}

TEST(PakDirectory, MapListHoldsTheBspWordsInDirectoryOrder) {
  auto directory = formats::readPakDirectory(threeMaps(), "pak0.pak");
  ASSERT_TRUE(directory.ok());
  EXPECT_EQ(formats::pakMapList(directory->entries), "maps/base1.bsp\nmaps/q2dm1.bsp\n");
  EXPECT_EQ(formats::pakMapList({{"odd name x/dm.BSP.bak", 0, 0}}), "x/dm.BSP\n");
}

TEST(PakDirectory, NameFillingAllFiftySixBytesStopsAtTheField) {
  ByteVector pak = threeMaps();
  const size_t dir = pak.size() - 3 * 64;
  std::fill_n(pak.begin() + static_cast<std::ptrdiff_t>(dir), 56, 'n');
  auto directory = formats::readPakDirectory(pak, "x.pak");
  ASSERT_TRUE(directory.ok());
  EXPECT_EQ(directory->entries[0].name, std::string(56, 'n'));
  EXPECT_EQ(directory->entries[1].name, "pics/colormap.pcx");
}

TEST(PakDirectory, HostileHeadersAreRefusedOrCutToTheArchive) {
  const ByteVector good = threeMaps();
  EXPECT_FALSE(formats::readPakDirectory(ByteVector(good.begin(), good.begin() + 11), "x.pak").ok());

  ByteVector negative = good;
  modelgen::setI32(negative, 4, -64);
  EXPECT_FALSE(formats::readPakDirectory(negative, "x.pak").ok());

  const struct {
    int32_t offset, length;
    size_t entries;
  } rows[] = {{0x7FFFFFF0, 64, 0}, {static_cast<int32_t>(good.size() - 100), 192, 1}, {0, 0x7FFFFFC0, good.size() / 64}};
  for (const auto& row : rows) {
    ByteVector pak = good;
    modelgen::setI32(pak, 4, row.offset);
    modelgen::setI32(pak, 8, row.length);
    auto directory = formats::readPakDirectory(pak, "x.pak");
    ASSERT_TRUE(directory.ok()) << row.offset;
    EXPECT_TRUE(directory->truncated) << row.offset;
    EXPECT_EQ(directory->entries.size(), row.entries) << row.offset;
  }
}

TEST(PakDirectory, ErrorNamesTheFileAndWhatWasFound) {
  auto directory = formats::readPakDirectory(ByteVector(5, 0), "baseq2/pak0.pak");
  ASSERT_FALSE(directory.ok());
  EXPECT_EQ(directory.error().text, "baseq2/pak0.pak: expected a 12-byte archive header, found 5 bytes");
}

TEST_F(PakFiles, MemberIsReadFromTheArchive) {
  std::string pak = write("baseq2/pak0.pak", threeMaps());
  auto member = formats::openPakMember(pak, "PICS/COLORMAP.PCX");
  ASSERT_TRUE(member.has_value());
  EXPECT_EQ(contents(*member), bytesOf("two"));
  EXPECT_EQ(pak, (dir_ / "baseq2/pak0.pak").string());
}

TEST_F(PakFiles, MissingArchiveFallsBackToItsFolderForGood) {
  write("baseq2/players/male/tris.md2", bytesOf("loose"));
  std::string pak = (dir_ / "baseq2/pak0.pak").string();
  auto member = formats::openPakMember(pak, "players/male/tris.md2");
  ASSERT_TRUE(member.has_value());
  EXPECT_EQ(contents(*member), bytesOf("loose"));
  EXPECT_EQ(member->baseOffset(), 0u);
  EXPECT_EQ(pak, (dir_ / "baseq2/").string());
  EXPECT_FALSE(formats::openPakMember(pak, "players/male/none.pcx").has_value());
}

TEST_F(PakFiles, EntryReachingPastTheArchiveCountsAsMissing) {
  ByteVector bytes = threeMaps();
  const size_t firstEntry = bytes.size() - 3 * 64;
  modelgen::setI32(bytes, firstEntry + 60, 1 << 30);  // length of maps/base1.bsp
  std::string pak = write("pak1.pak", bytes);
  write("maps/base1.bsp", bytesOf("beside"));
  auto member = formats::openPakMember(pak, "maps/base1.bsp");
  ASSERT_TRUE(member.has_value());
  EXPECT_EQ(contents(*member), bytesOf("beside"));
}

TEST_F(PakFiles, ListingAFileReadsItsDirectory) {
  auto listing = formats::listPakFile(write("pak0.pak", threeMaps()));
  ASSERT_TRUE(listing.ok());
  EXPECT_EQ(listing->entries.size(), 3u);
  EXPECT_FALSE(formats::listPakFile((dir_ / "none.pak").string()).ok());
  EXPECT_FALSE(formats::listPakFile(dir_.string()).ok());
}
