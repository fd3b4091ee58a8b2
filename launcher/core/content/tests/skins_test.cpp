#include "core/content/skins.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;

namespace {

using Kind = ArchiveEntry::Kind;

const std::vector<ArchiveEntry> kRedInFolders = {{"qw/", "", Kind::Folder},
                                                 {"qw/skins/", "", Kind::Folder},
                                                 {"qw/skins/red.pcx", "red pixels"}};

}  // namespace

TEST(SkinList, NoneFirstThenEveryZipInAnyCaseSortedWithoutCase) {
  TempDir dir;
  GameSettings quake;
  quake.Skins = dir.folder();
  for (const char* file : {"blue.zip", "GREEN.ZIP", "Amber.Zip", ".hidden.zip", "notes.txt", ".zip"})
    dir.write(file, "");
  std::filesystem::create_directory(dir.path() / "folder.zip");
  EXPECT_EQ(SkinListItems(quake), (std::vector<std::string>{"(none)", "Amber", "blue", "GREEN"}));
  quake.Skins = dir.folder() + "gone/";
  EXPECT_EQ(SkinListItems(quake), std::vector<std::string>{"(none)"});
}

TEST(SkinList, ArchiveOfAnItemIsFoundInAnyCase) {
  TempDir dir;
  GameSettings quake;
  quake.Skins = dir.folder();
  dir.write("GREEN.ZIP", "");
  dir.write("(none).zip", "");
  EXPECT_EQ(SkinArchive(quake, "GREEN"), dir.file("GREEN.ZIP"));
  EXPECT_EQ(SkinArchive(quake, "green"), dir.file("GREEN.ZIP"));
  EXPECT_EQ(SkinArchive(quake, "(none)"), std::nullopt) << "the marker names no archive";
  EXPECT_EQ(SkinArchive(quake, "blue"), std::nullopt);
}

TEST(SkinPreview, TheFirstEntryOrTheThirdAfterAFolder) {
  struct Case {
    const char* shape;
    std::vector<ArchiveEntry> entries;
    std::optional<std::size_t> expected;
  } cases[] = {
      {"picture at the root", {{"blue.pcx", "blue"}, {"readme.txt", "hi"}}, 0},
      {"qw/, qw/skins/, picture", kRedInFolders, 2},
      {"a folder and one file only", {{"qw/", "", Kind::Folder}, {"qw/red.pcx", "red"}}, std::nullopt},
      {"the third is a folder too",
       {{"a/", "", Kind::Folder}, {"a/b/", "", Kind::Folder}, {"a/b/c/", "", Kind::Folder}},
       std::nullopt},
      {"a folder alone", {{"qw/", "", Kind::Folder}}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    TempDir dir;
    ASSERT_TRUE(WriteArchive(dir.file("s.zip"), c.entries).ok());
    Tzipform zip;
    ASSERT_TRUE(zip.ListArchive(dir.file("s.zip")).ok());
    EXPECT_EQ(SkinPreviewEntry(zip), c.expected);
  }
  Tzipform nothingListed;
  EXPECT_EQ(SkinPreviewEntry(nothingListed), std::nullopt);
}

TEST(SkinPreview, CopyLiesInAPrivateFolderGoneAfterwardsAndTouchesNoOtherFile) {
  TempDir dir;
  ASSERT_TRUE(WriteArchive(dir.file("red.zip"), kRedInFolders).ok());
  dir.write("prog/red.pcx", "a file of the program folder");
  Tzipform zip;
  std::string folder;
  {
    Result<SkinPreviewCopy> copy = SkinPreviewCopy::Extract(dir.file("red.zip"), zip, dir.folder() + "prog/");
    ASSERT_TRUE(copy.ok()) << copy.error().text;
    EXPECT_EQ(std::filesystem::path(copy->path()).filename(), "red.pcx") << "without its folders";
    folder = std::filesystem::path(copy->path()).parent_path().string();
    EXPECT_EQ(std::filesystem::path(folder).parent_path(), dir.path() / "prog");
    EXPECT_EQ(dir.read(std::filesystem::relative(copy->path(), dir.path()).string()), "red pixels");
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_EQ(dir.read("prog/red.pcx"), "a file of the program folder");
}

TEST(SkinPreview, NoCopyFromAMissingHostileOrFolderOnlyArchive) {
  TempDir dir;
  dir.write("prog/keep", "");
  ASSERT_TRUE(WriteArchive(dir.file("evil.zip"), {{"../../x.pcx", "up"}}).ok());
  ASSERT_TRUE(WriteArchive(dir.file("folders.zip"), {{"qw/", "", Kind::Folder}}).ok());
  dir.write("broken.zip", "PK\x03\x04 cut short");
  for (const char* archive : {"gone.zip", "evil.zip", "folders.zip", "broken.zip"}) {
    SCOPED_TRACE(archive);
    Tzipform zip;
    EXPECT_FALSE(SkinPreviewCopy::Extract(dir.file(archive), zip, dir.folder() + "prog/").ok());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "prog"), {}), 1)
        << "no work folder is left behind";
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "x.pcx"));
}
