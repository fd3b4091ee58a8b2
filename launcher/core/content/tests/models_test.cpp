#include "core/content/models.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "testing/gamesettings.h"
#include "testing/tempdir.h"

using namespace fdk;

namespace {

using Names = std::vector<std::string>;

ArchiveEntry file(const std::string& name) { return {name, "x"}; }

// Every entry of a folder, hidden ones too, sorted.
Names entriesOf(const std::filesystem::path& folder) {
  Names names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

struct ModelTree {
  GameTree tree;
  GameSettings q2 = SettingsIn(tree.quake2());
  ModelTree() { tree.write("quake2/baseq2/players/male/tris.md2", "mesh"); }
  void pack(const std::string& name, const std::vector<ArchiveEntry>& entries) {
    ASSERT_TRUE(tree.archive("models2/" + name, entries).ok());
  }
};

TEST(ModelLists, ModelLevelListsPacksWithNoneAndInstalledFoldersWithoutDots) {
  ModelTree t;
  t.tree.writeFiles({{"models2/scout.zip", ""},
                     {"models2/Brute.ZIP", ""},
                     {"models2/.hidden.zip", ""},
                     {"models2/readme.txt", ""},
                     {"quake2/baseq2/players/female/tris.md2", ""},
                     {"quake2/baseq2/players/male.old/tris.md2", ""},
                     {"quake2/baseq2/players/scout.bmp", ""}});
  EXPECT_EQ(AvailablePacks(t.q2), (Names{"(none)", "Brute", "scout"}));
  EXPECT_EQ(InstalledModels(t.q2), (Names{"female", "male"}));

  // A missing store and players folder: Available keeps "(none)", Installed is empty.
  GameSettings missing{};
  missing.Path = t.tree.folder() + "nowhere/";
  missing.Skins = t.tree.folder() + "nowhere/";
  EXPECT_EQ(AvailablePacks(missing), (Names{"(none)"}));
  EXPECT_TRUE(InstalledModels(missing).empty());
}

TEST(ModelLists, SkinLevelListsOnlySkinsWithAnIcon) {
  ModelTree t;
  // A pack: one skin with its icon, the mesh, a weapon skin without an icon.
  t.pack("scout.zip", {file("players/scout/tris.md2"), file("players/scout/red.pcx"),
                       file("players/scout/red_i.pcx"), file("players/scout/weapon.pcx"),
                       {"players/scout/", "", ArchiveEntry::Kind::Folder}});
  Tzipform zip;
  ASSERT_TRUE(zip.ListArchive(t.q2.Skins + "scout.zip").ok());
  EXPECT_EQ(PackSkins(zip), (Names{"(back)", "red"}));
  EXPECT_EQ(SkinsOfPack(zip), (Names{"red"}));

  // The same shape installed, plus an icon in capitals and a skin without one.
  const std::string male = PlayersFolder(t.q2) + "male/";
  for (const char* name : {"grunt.pcx", "grunt_i.pcx", "weapon.pcx", "cipher.pcx", "cipher_I.PCX"}) t.tree.write("quake2/baseq2/players/male/" + std::string(name), "x");
  EXPECT_EQ(InstalledSkins(male), (Names{"(back)", "cipher", "grunt"}));
}

TEST(ModelLists, PlayersFolderIsFoundInAnyLetterCase) {
  TempDir dir;
  dir.write("quake2/BaseQ2/Players/male/tris.md2", "");
  GameSettings q2;
  q2.Path = dir.folder() + "quake2/";
  EXPECT_EQ(PlayersFolder(q2), dir.folder() + "quake2/BaseQ2/Players/");
  EXPECT_EQ(InstalledModels(q2), (Names{"male"}));
}

TEST(ChosenPairs, TwoSkinsOfATheOneOfBListBothAndRemovingARemovesItsPairs) {
  std::vector<ModelSkin> pairs;
  AppendPair(pairs, "A", "red");
  AppendPair(pairs, "A", "blue");
  AppendPair(pairs, "B", "green");
  EXPECT_EQ(ChosenListItems(pairs), (Names{"A", "B"}));

  RemovePairs(pairs, {"A"});
  EXPECT_EQ(pairs, (std::vector<ModelSkin>{{"B", "green"}}));
  EXPECT_EQ(ChosenListItems(pairs), (Names{"B"}));

  RemovePairs(pairs, {"B"});
  EXPECT_TRUE(ChosenListItems(pairs).empty());
}

TEST(ChosenPairs, APackChosenAgainAfterAnotherIsListedTwice) {
  EXPECT_EQ(ChosenListItems({{"b", "1"}, {"b", "2"}, {"A", "1"}, {"b", "3"}}), (Names{"A", "b", "b"}));
}

TEST(ChosenPairs, AWholePackAddsEveryIconBearingSkinAndAMissingPackIsReported) {
  ModelTree t;
  t.pack("scout.zip", {file("players/scout/tris.md2"), file("players/scout/red.pcx"), file("players/scout/red_i.pcx"),
                       file("players/scout/blue.pcx"), file("players/scout/blue_i.pcx"), file("players/scout/w.pcx")});
  std::vector<ModelSkin> pairs;
  Tzipform zip;
  Report report = AppendPackPairs(t.q2, {"(none)", "gone", "scout"}, zip, pairs);
  EXPECT_EQ(pairs, (std::vector<ModelSkin>{{"scout", "red"}, {"scout", "blue"}}));
  EXPECT_NE(report.text().find("gone"), std::string::npos);
}

TEST(ModelPictures, TheFirstPictureInTheListsOrderIsShownOrConverted) {
  TempDir dir;
  dir.write("scout.jpg", "");
  dir.write("scout.PCX", "");
  PreviewPicture model = ModelPicture(dir.folder(), "scout");  // pack: bmp, pcx, jpg
  EXPECT_EQ(model.kind, PreviewPicture::Kind::Convert);
  EXPECT_EQ(model.path, dir.folder() + "scout.PCX");
  PreviewPicture skin = InstalledSkinPicture(dir.folder(), "scout");  // installed skin: bmp, jpg, pcx
  EXPECT_EQ(skin.path, dir.folder() + "scout.jpg");
  dir.write("scout.bmp", "");
  EXPECT_EQ(ModelPicture(dir.folder(), "scout").kind, PreviewPicture::Kind::Bitmap);
  EXPECT_EQ(ModelPicture(dir.folder(), "none").kind, PreviewPicture::Kind::None);
}

TEST(ModelPreviewArgs, NameTheCopiesOrTheInstalledFiles) {
  EXPECT_EQ(AvailablePreviewArgs("/p/", "red"), "/p/tris.md2 /p/red.pcx");
  EXPECT_EQ(InstalledPreviewArgs("/q2/baseq2/players/", "male", "grunt"),
            "/q2/baseq2/players/male/tris.md2 /q2/baseq2/players/male/grunt.pcx");
}

TEST(RemoveModelFolder, RemovesTheWholeFolderButNeverThroughALinkOrOutside) {
  TempDir dir;
  dir.write("players/male/tris.md2", "");
  dir.write("players/male/sub/extra.pcx", "");
  dir.write("outside/keep.txt", "keep");
  std::filesystem::create_directory_symlink(dir.path() / "outside", dir.path() / "players/male/link");
  std::filesystem::create_directory_symlink(dir.path() / "outside", dir.path() / "players/linked");
  const std::string players = dir.folder() + "players/";
  EXPECT_TRUE(RemoveModelFolder(players, "male").ok());
  EXPECT_FALSE(dir.exists("players/male"));
  EXPECT_EQ(dir.read("outside/keep.txt"), "keep");
  EXPECT_FALSE(RemoveModelFolder(players, "linked").ok());
  EXPECT_FALSE(RemoveModelFolder(players, "..").ok());
  EXPECT_TRUE(dir.exists("outside/keep.txt"));
}

}  // namespace

namespace {

// An installed program folder is only read: the copies go to the scratch folder.
TEST(ModelPreviewRun, CopiesThePacksFilesAndStartsBesideThemWhenAPathHasABlank) {
  ModelTree t;
  t.pack("scout.zip", {{"baseq2/players/scout/tris.md2", "mesh"}, {"baseq2/players/scout/dred.pcx", "other"},
                       {"baseq2/players/scout/red.pcx", "red"}});
  const std::string program = t.tree.program();
  t.tree.write("scratch/red.pcx", "the scratch folder's own");
  const std::string scratch = t.tree.folder() + "scratch/";
  Tzipform zip;
  ModelPreviewRun run = PrepareModelPreview(program, scratch, "scout", true, "red", AvailablePreviewArgs(scratch, "red"),
                                            "/somewhere", zip, t.q2);
  EXPECT_TRUE(run.leftOut.empty()) << run.leftOut.text();
  ASSERT_EQ(run.copies, (Names{run.copiesFolder + "tris.md2", run.copiesFolder + "red.pcx"}));
  EXPECT_EQ(run.copiesFolder.rfind(scratch, 0), 0u) << "the copies stay in the scratch folder";
  EXPECT_EQ(t.tree.read(run.copies[1].substr(t.tree.folder().size())), "red")
      << "the skin of that name, not one that merely contains it";
  EXPECT_EQ(run.commandLine, "\"" + program + "meshpeek/meshpeek\" " + run.copies[0] + " " + run.copies[1]);
  EXPECT_EQ(run.workFolder, "/somewhere");
  RemovePreviewCopies(run);
  EXPECT_FALSE(std::filesystem::exists(run.copiesFolder));
  EXPECT_EQ(t.tree.read("scratch/red.pcx"), "the scratch folder's own") << "a file of the same name is never touched";

  // A blank in the path: the viewer reads blank-free words, so it starts beside the files.
  const std::string players = "/games/quake 2/baseq2/players/";
  run = PrepareModelPreview(program, program, "scout", false, "grunt", InstalledPreviewArgs(players, "male", "grunt"),
                            "/somewhere", zip, t.q2);
  EXPECT_TRUE(run.copies.empty());
  EXPECT_EQ(run.commandLine, "\"" + program + "meshpeek/meshpeek\" \"tris.md2\" \"grunt.pcx\"");
  EXPECT_EQ(run.workFolder, players + "male/");
}

// Packs made on Windows store "TRIS.MD2" and "RED.PCX" beside an icon "Red_i.pcx".
TEST(ModelPreviewRun, FindsTheFilesInAnyLetterCaseAndNamesWhatItExtracted) {
  ModelTree t;
  t.pack("loud.zip", {{"PLAYERS/LOUD/TRIS.MD2", "mesh"}, {"PLAYERS/LOUD/RED.PCX", "red"},
                      {"PLAYERS/LOUD/Red_i.pcx", "icon"}});
  const std::string program = t.tree.program();
  t.tree.write("program/keep.txt", "");
  Tzipform zip;
  ModelPreviewRun run = PrepareModelPreview(program, program, "loud", true, "Red", AvailablePreviewArgs(program, "Red"),
                                            "/somewhere", zip, t.q2);
  EXPECT_TRUE(run.leftOut.empty()) << run.leftOut.text();
  ASSERT_EQ(run.copies, (Names{run.copiesFolder + "TRIS.MD2", run.copiesFolder + "RED.PCX"}));
  for (const std::string& copy : run.copies) EXPECT_TRUE(std::filesystem::is_regular_file(copy)) << copy;
  EXPECT_EQ(run.commandLine, "\"" + program + "meshpeek/meshpeek\" " + run.copies[0] + " " + run.copies[1]);
  RemovePreviewCopies(run);
  EXPECT_EQ(entriesOf(t.tree.path() / "program"), (Names{"keep.txt"})) << "exactly the copies and their folder are gone";

  // An installed model keeps the spelling it was installed with.
  t.tree.write("quake2/baseq2/players/loud/TRIS.MD2", "mesh");
  t.tree.write("quake2/baseq2/players/loud/RED.PCX", "red");
  const std::string players = t.tree.folder() + "quake2/baseq2/players/";
  const std::string args = InstalledPreviewArgs(players, "loud", "Red");
  EXPECT_EQ(args, players + "loud/TRIS.MD2 " + players + "loud/RED.PCX");
  run = PrepareModelPreview(program, program, "loud", false, "Red", args, "/somewhere", zip, t.q2);
  EXPECT_EQ(run.commandLine, "\"" + program + "meshpeek/meshpeek\" " + args);
}

// A pack that cannot be read still starts the viewer on the expected names, which it reports missing.
TEST(ModelPreviewRun, AnUnreadablePackIsReportedAndLeavesNothing) {
  ModelTree t;
  t.tree.write("models2/broken.zip", "not a zip");
  const std::string program = t.tree.program();
  t.tree.write("program/keep.txt", "");
  Tzipform zip;
  ModelPreviewRun run = PrepareModelPreview(program, program, "broken", true, "red", AvailablePreviewArgs(program, "red"),
                                            "/somewhere", zip, t.q2);
  EXPECT_FALSE(run.leftOut.empty());
  EXPECT_TRUE(run.copies.empty());
  EXPECT_EQ(run.commandLine, "\"" + program + "meshpeek/meshpeek\" " + AvailablePreviewArgs(program, "red"));
  RemovePreviewCopies(run);
  EXPECT_EQ(entriesOf(t.tree.path() / "program"), (Names{"keep.txt"}));
}

}  // namespace
