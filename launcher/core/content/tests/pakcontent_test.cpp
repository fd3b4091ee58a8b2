#include "core/content/pakcontent.h"

#include "core/content/maps.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/archive/catalogue.h"
#include "modelgen/writers.h"
#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;

namespace {

const std::string kHeader(kPakContentHeader);

// Answers every question with `yes` and records what was asked and how often
// the scan window came and went.
struct FakeHost : PakContentHost {
  bool yes = true;
  std::vector<std::string> questions;
  int scans = 0, scanEnds = 0;
  bool Ask(std::string_view question) override {
    questions.emplace_back(question);
    return yes;
  }
  void ScanBegins() override { ++scans; }
  void ScanEnds() override { ++scanEnds; }
};

modelgen::ByteVector pakOf(const std::vector<std::string>& names) {
  std::vector<modelgen::PakMember> members;
  for (const std::string& name : names) members.push_back({name, {1, 2, 3}});
  return modelgen::encodePak(members);
}

const std::vector<std::string> kStockPak = {"maps/b_batt0.bsp", "maps/e1m1.bsp", "maps/start.bsp", "progs/player.mdl"};

struct GameTree {
  TempDir dir;
  FakeHost host;
  PakContentState state;
  Tzipform zip;
  MapChoiceRequest request;

  explicit GameTree(Game game = Game::Quake1) {
    request.game = game;
    request.gameFolder = dir.folder() + "game/";
    request.scratchFolder = dir.folder() + "program/";
    std::filesystem::create_directories(request.scratchFolder);
  }
  std::string base() const { return request.game == Game::Quake1 ? "game/id1/" : "game/baseq2/"; }
  std::string pak(const std::string& name, const std::vector<std::string>& entries) {
    return dir.write(base() + name, pakOf(entries));
  }
  MapChoice fill() { return FillMapChoice(request, state, zip, host); }
};

using Names = std::vector<std::string>;

}  // namespace

TEST(PakContentNames, MapsAreMapsPathsHoldingLowerCaseBsp) {
  struct Row {
    const char* entry;
    const char* map;
  };
  const Row rows[] = {
      {"maps/e1m1.bsp", "e1m1"}, {"maps/q2dm1.bsp", "q2dm1"}, {"MAPS/DM1.BSP", ""},        {"Maps/dm2.bsp", "dm2"},
      {"progs/player.mdl", ""},  {"maps/dm3.bsp.old", "dm3"}, {"maps/sub/x.bsp", "sub/x"}, {"sound/maps/a.bsp", ""},
      {"maps/readme.txt", ""},   {"map/e1m2.bsp", ""},        {"maps/e1m3.lit", ""},
  };
  for (const Row& r : rows) EXPECT_EQ(PakEntryMapName(r.entry), r.map) << r.entry;

  EXPECT_FALSE(OfferedMap("b_batt0", Game::Quake1));
  EXPECT_FALSE(OfferedMap("B_Rock", Game::Quake1));
  EXPECT_TRUE(OfferedMap("b_batt0", Game::Quake2));
  EXPECT_TRUE(OfferedMap("bunker", Game::Quake1));

  EXPECT_EQ(PakContentPath("/g/id1/pak0.pak"), "/g/id1/pak0.fdk");
  EXPECT_EQ(PakContentPath("/g/id1/x.y.PAK"), "/g/id1/x.y.fdk");
}

TEST(PakContentFile, ExactBytesAndOfferedNamesPerGame) {
  struct Row {
    Game game;
    Names names;
  };
  const Row rows[] = {{Game::Quake1, {"e1m1", "start"}}, {Game::Quake2, {"b_batt0", "e1m1", "start"}}};
  for (const Row& r : rows) {
    GameTree t(r.game);
    const std::string pak = t.pak("pak0.pak", kStockPak);
    const MapChoice choice = t.fill();
    std::string expected = kHeader + "\r\n" + std::to_string(std::filesystem::file_size(pak)) + "\r\n";
    for (const std::string& name : r.names) expected += name + "\r\n";
    EXPECT_EQ(t.dir.read(t.base() + "pak0.fdk"), expected);
    EXPECT_EQ(choice.items, r.names);
    EXPECT_EQ(choice.mapsLst, r.game == Game::Quake2 ? r.names : Names{});
    EXPECT_EQ(t.host.questions, Names{std::string(kPakListingQuestion)});
    EXPECT_EQ(t.host.scans, 1);
    EXPECT_EQ(t.host.scanEnds, 1);
    EXPECT_TRUE(choice.damaged.empty());
  }
}

TEST(PakContentFile, ValidFileIsReadWithoutListingOrQuestion) {
  GameTree t;
  const std::string pak = t.pak("pak0.pak", kStockPak);
  const std::string size = std::to_string(std::filesystem::file_size(pak));
  // The file says what the PAK holds; a file that lies proves it is believed.
  t.dir.write(t.base() + "pak0.fdk", kHeader + "\r\n" + size + "\r\nzz\r\naa\r\n");
  EXPECT_EQ(t.fill().items, (Names{"aa", "zz"}));
  t.dir.write(t.base() + "pak0.fdk", kHeader + "\r\n" + size + "\r\n");
  EXPECT_EQ(t.fill().items, Names{});
  EXPECT_TRUE(t.host.questions.empty());
  EXPECT_EQ(t.host.scans, 0);
}

TEST(PakContentFile, StaleFileOfOursIsRebuiltAskingOnce) {
  struct Row {
    const char* what;
    std::function<std::string(std::uint64_t size)> content;
  };
  const Row rows[] = {
      {"size grew by one byte",
       [](std::uint64_t size) { return kHeader + "\r\n" + std::to_string(size - 1) + "\r\nold\r\n"; }},
      {"size is no number", [](std::uint64_t) { return kHeader + "\r\nbig\r\nold\r\n"; }},
      {"header alone", [](std::uint64_t) { return kHeader; }},
  };
  for (const Row& r : rows) {
    GameTree t;
    const std::string a = t.pak("pak0.pak", kStockPak);
    const std::string b = t.pak("pak1.pak", {"maps/e2m1.bsp"});
    for (const std::string& pak : {a, b})
      t.dir.write(t.base() + std::filesystem::path(PakContentPath(pak)).filename().string(),
                  r.content(std::filesystem::file_size(pak)));
    const MapChoice choice = t.fill();
    EXPECT_EQ(choice.items, (Names{"e1m1", "e2m1", "start"})) << r.what;
    EXPECT_EQ(t.host.questions.size(), 1u) << r.what;
    EXPECT_EQ(t.dir.read(t.base() + "pak1.fdk"),
              kHeader + "\r\n" + std::to_string(std::filesystem::file_size(b)) + "\r\ne2m1\r\n")
        << r.what;
  }
}

TEST(PakContentFile, StaleFileOfOursIsNotRebuiltWhenThePlayerSaysNo) {
  GameTree t;
  t.host.yes = false;
  const std::string pak = t.pak("pak0.pak", kStockPak);
  t.dir.write(t.base() + "pak0.fdk",
              kHeader + "\r\n" + std::to_string(std::filesystem::file_size(pak) - 1) + "\r\nold\r\n");
  EXPECT_EQ(t.fill().items, Names{});
  EXPECT_EQ(t.host.scans, 0);
  EXPECT_FALSE(t.dir.exists(t.base() + "pak0.fdk")) << "a stale file of ours must not be read as valid later";
}

TEST(PakContentFile, APlayersOwnFileIsNeverUsedReplacedOrRemoved) {
  struct Row {
    const char* what;
    std::function<void(GameTree&, std::uint64_t size)> make;
  };
  const Row rows[] = {
      {"notes with a matching size line",
       [](GameTree& t, std::uint64_t size) {
         t.dir.write(t.base() + "pak0.fdk", "my notes\r\n" + std::to_string(size) + "\r\nmine\r\n");
       }},
      {"our header with more after it",
       [](GameTree& t, std::uint64_t size) {
         t.dir.write(t.base() + "pak0.fdk", kHeader + "!\r\n" + std::to_string(size) + "\r\nmine\r\n");
       }},
      {"larger than any content file",  // sparse: costs no disk
       [](GameTree& t, std::uint64_t) {
         t.dir.writeSparse(t.base() + "pak0.fdk", {'m', 'i', 'n', 'e', '\n'}, 17u << 20);
       }},
  };
  for (const bool yes : {true, false})
    for (const Row& r : rows) {
      GameTree t;
      t.host.yes = yes;
      const std::string pak = t.pak("pak0.pak", kStockPak);
      r.make(t, std::filesystem::file_size(pak));
      const std::string mine = t.dir.read(t.base() + "pak0.fdk");
      const MapChoice first = t.fill();
      EXPECT_EQ(first.items, yes ? (Names{"e1m1", "start"}) : Names{}) << r.what;
      EXPECT_TRUE(t.dir.read(t.base() + "pak0.fdk") == mine) << r.what;
      ASSERT_EQ(first.unwritable.size(), yes ? 1u : 0u) << r.what;
      if (yes) {
        EXPECT_NE(first.unwritable.text().find("not a content file of Fragdock"), std::string::npos);
      }

      const MapChoice second = t.fill();
      EXPECT_EQ(second.items, first.items) << r.what;
      EXPECT_TRUE(second.unwritable.empty()) << r.what << ": told once";
      EXPECT_EQ(t.host.scans, yes ? 1 : 0) << r.what << ": listed once per run";
      EXPECT_TRUE(t.dir.read(t.base() + "pak0.fdk") == mine) << r.what;
    }
}

TEST(PakContentFile, AHugeDirectoryListsTheLimitAndItsContentFileIsReadBack) {
  GameTree t(Game::Quake2);
  t.state.listing = RunAnswer::Yes;
  // The longest names a directory entry holds, so the content file is as large as it can get.
  Names entries;
  for (std::size_t i = 0; i < kMaxMapsPerPak + 10; ++i) {
    std::string name = "maps/" + std::to_string(i) + ".bsp";
    entries.push_back(name.insert(5, 55 - name.size(), 'x'));
  }
  const std::string pak = t.pak("pak0.pak", entries);
  const MapChoice first = t.fill();
  EXPECT_EQ(first.items.size(), kMaxMapsPerPak);
  EXPECT_EQ(first.mapsLst.size(), kMaxMapsPerPak);
  ASSERT_EQ(first.tooMany.size(), 1u);
  EXPECT_EQ(first.tooMany.entries()[0].what, pak);
  EXPECT_TRUE(first.damaged.empty());
  EXPECT_TRUE(first.unwritable.empty());

  const MapChoice second = t.fill();
  EXPECT_EQ(second.items.size(), kMaxMapsPerPak);
  EXPECT_TRUE(second.tooMany.empty()) << "told when listed, not at every drop-down";
  EXPECT_EQ(t.host.scans, 1) << "the content file was read back instead of listing again";
}

TEST(PakContentAnswer, YesListsTenPaksWithoutAskingNoListsNothingForTheRun) {
  GameTree t;
  for (int i = 0; i < 10; ++i) t.pak("pak" + std::to_string(i) + ".pak", {"maps/m" + std::to_string(i) + ".bsp"});
  t.state.listing = RunAnswer::Yes;
  EXPECT_EQ(t.fill().items.size(), 10u);
  EXPECT_TRUE(t.host.questions.empty());
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(t.dir.exists(t.base() + "pak" + std::to_string(i) + ".fdk")) << i;

  GameTree no;
  no.host.yes = false;
  no.pak("pak0.pak", kStockPak);
  no.pak("pak1.pak", kStockPak);
  no.request.installed = {"e1m1"};
  EXPECT_EQ(no.fill().items, Names{"e1m1"});
  EXPECT_EQ(no.fill().items, Names{"e1m1"});
  EXPECT_EQ(no.host.questions.size(), 1u);
  EXPECT_EQ(no.host.scans, 0);
  EXPECT_FALSE(no.dir.exists(no.base() + "pak0.fdk"));
}

TEST(PakSearch, FilesAlphabeticallyThenSubFoldersDepthFirstHiddenSkipped) {
  TempDir dir;
  for (const char* name : {"b.pak", "A.pak", "c.PAK", "notes.txt", ".x.pak", "sub/z.pak", "Sub2/a.pak", "aa/c.pak",
                           "aa/deep/d.pak", ".hidden/h.pak", "sub/.h/i.pak"})
    dir.write(std::string("id1/") + name, "PACK");
  const std::string id1 = dir.folder() + "id1/";
  EXPECT_EQ(FindPaks(id1), (Names{id1 + "A.pak", id1 + "b.pak", id1 + "c.PAK", id1 + "aa/c.pak", id1 + "aa/deep/d.pak",
                                  id1 + "sub/z.pak", id1 + "Sub2/a.pak"}));
  EXPECT_EQ(FindPaks(dir.folder() + "missing/"), Names{});
}

TEST(MapChoiceFill, SortedWithDuplicatesAndMapsLstInOrderAdded) {
  GameTree t(Game::Quake2);
  t.pak("pak0.pak", {"maps/q2dm1.bsp", "maps/base1.bsp"});
  t.request.installed = {"q2dm1", "Zed"};
  t.request.chosen = {"alpha"};
  const MapChoice first = t.fill();
  EXPECT_EQ(first.items, (Names{"alpha", "base1", "q2dm1", "q2dm1", "Zed"}));
  EXPECT_EQ(first.mapsLst, (Names{"q2dm1", "Zed", "alpha", "q2dm1", "base1"}));
  EXPECT_EQ(t.fill().mapsLst, first.mapsLst) << "a second fill starts over";
  EXPECT_EQ(t.state.q2MapsLst, first.mapsLst);
}

TEST(MapChoiceFill, BaseFolderFoundWithoutRegardToCase) {
  GameTree t(Game::Quake2);
  t.dir.write("game/BaseQ2/pak0.pak", pakOf({"maps/q2dm1.bsp"}));
  EXPECT_EQ(t.fill().items, Names{"q2dm1"});
}

namespace {
std::string writeModArchive(GameTree& t, const std::vector<std::string>& pakEntries) {
  const std::string archive = t.dir.folder() + "mods/mymod.zip";
  std::filesystem::create_directories(t.dir.folder() + "mods");
  const modelgen::ByteVector pak = pakOf(pakEntries);
  EXPECT_TRUE(WriteArchive(archive, {{"mymod/pak0.pak", std::string(pak.begin(), pak.end())},
                                     {"mymod/maps/loose.bsp", "bsp"},
                                     {"mymod/readme.txt", "hi"}})
                  .ok());
  t.request.modArchive = archive;
  return archive;
}
}  // namespace

TEST(ModPak, QuakeListsOnceThenOffersTheCachedNames) {
  GameTree t;
  writeModArchive(t, {"maps/b_mod.bsp", "maps/modmap.bsp"});
  const MapChoice first = t.fill();
  EXPECT_EQ(first.items, (Names{"loose", "modmap"}));
  EXPECT_EQ(t.host.questions, (Names{std::string(kModPakQuestion), std::string(kPakListingQuestion)}));
  EXPECT_TRUE(t.dir.exists("program/paktemp/pak0.pak"));
  EXPECT_FALSE(t.dir.exists("program/paktemp/pak0.fdk")) << "Quake keeps these names in memory";

  const MapChoice second = t.fill();
  EXPECT_EQ(second.items, first.items);
  EXPECT_EQ(t.host.scans, 1) << "the second fill lists no PAK";
  EXPECT_EQ(t.host.questions.size(), 2u);
}

TEST(ModPak, QuakeTwoKeepsAContentFileInPaktempAndAnotherModIsExtractedAgain) {
  GameTree t(Game::Quake2);
  writeModArchive(t, {"maps/b_mod.bsp", "maps/modmap.bsp"});
  EXPECT_EQ(t.fill().items, (Names{"b_mod", "loose", "modmap"}));
  EXPECT_TRUE(t.dir.exists("program/paktemp/pak0.fdk"));

  // Same name, same size, other maps: what paktemp holds must not be trusted.
  writeModArchive(t, {"maps/b_mod.bsp", "maps/newmap.bsp"});
  EXPECT_EQ(t.fill().items, (Names{"b_mod", "loose", "newmap"}));
}

TEST(ModPak, NoToTheQuestionExtractsNothingButLooseMapsStay) {
  GameTree t;
  t.host.yes = false;
  writeModArchive(t, {"maps/modmap.bsp"});
  EXPECT_EQ(t.fill().items, Names{"loose"});
  EXPECT_EQ(t.fill().items, Names{"loose"});
  EXPECT_EQ(t.host.questions, Names{std::string(kModPakQuestion)});
  EXPECT_FALSE(t.dir.exists("program/paktemp"));
}

TEST(PakContentSoundness, UnwritableContentFileStillOffersMapsAndIsToldOnce) {
  GameTree t;
  t.pak("pak0.pak", kStockPak);
  // A folder where the content file goes stops the write even for root.
  std::filesystem::create_directories(t.dir.folder() + t.base() + "pak0.fdk");
  const MapChoice first = t.fill();
  EXPECT_EQ(first.items, (Names{"e1m1", "start"}));
  ASSERT_EQ(first.unwritable.size(), 1u);
  EXPECT_EQ(first.unwritable.entries()[0].what, t.dir.folder() + t.base() + "pak0.fdk");

  const MapChoice second = t.fill();
  EXPECT_EQ(second.items, first.items);
  EXPECT_TRUE(second.unwritable.empty());
  EXPECT_EQ(t.host.scans, 1) << "remembered for the run, not listed again";
}

TEST(PakContentSoundness, DamagedPaksGiveNothingAndAreToldOncePerRun) {
  GameTree t;
  t.state.listing = RunAnswer::Yes;
  t.pak("good.pak", {"maps/e1m1.bsp"});
  t.dir.write(t.base() + "empty.pak", "");
  t.dir.write(t.base() + "text.pak", "this is no archive at all");
  modelgen::ByteVector cut = pakOf({"maps/lost.bsp", "maps/gone.bsp"});
  cut.resize(cut.size() - 10);  // the directory's last entry runs past the end
  t.dir.write(t.base() + "cut.pak", cut);
  modelgen::ByteVector negative = pakOf({"maps/neg.bsp"});
  modelgen::setI32(negative, 8, -64);
  t.dir.write(t.base() + "negative.pak", negative);

  const MapChoice first = t.fill();
  EXPECT_EQ(first.items, Names{"e1m1"});
  Names told;
  for (const Report::Entry& e : first.damaged.entries()) told.push_back(std::filesystem::path(e.what).filename());
  EXPECT_EQ(told, (Names{"cut.pak", "empty.pak", "negative.pak", "text.pak"}));
  for (const char* name : {"cut.fdk", "empty.fdk", "negative.fdk", "text.fdk"})
    EXPECT_FALSE(t.dir.exists(t.base() + name)) << name << ": a cache of what could not be read would lie";

  const MapChoice second = t.fill();
  EXPECT_EQ(second.items, Names{"e1m1"});
  EXPECT_TRUE(second.damaged.empty());
}

TEST(InstalledMaps, BspNamesWithoutExtensionAreTheRequestsInstalledMaps) {
  TempDir dir;
  Uvars vars;
  vars.q2.Path = dir.folder();
  for (const char* name : {"dm1.bsp", "E1M1.BSP", "readme.txt"}) dir.write(std::string("baseq2/maps/") + name, "x");
  vars.q2maps.installed = InstalledMaps(vars.q2, Game::Quake2);
  vars.q2maps.chosen = {"chosen1"};
  EXPECT_EQ(vars.q2maps.installed, (Names{"dm1", "E1M1"}));
  const MapChoiceRequest request = MapChoiceRequestFor(vars, Game::Quake2);
  EXPECT_EQ(request.installed, (Names{"dm1", "E1M1"}));
  EXPECT_EQ(request.chosen, Names{"chosen1"});
  EXPECT_EQ(request.modArchive, "") << "no MOD chosen";
  vars.q1.Path = dir.folder() + "none/";
  EXPECT_EQ(InstalledMaps(vars.q1, Game::Quake1), Names{});
}

TEST(ModPak, AnEntryThatFailsToExtractLeavesNoOldPakToBeListed) {
  GameTree t(Game::Quake2);
  writeModArchive(t, {"maps/oldmap.bsp"});
  EXPECT_EQ(t.fill().items, (Names{"loose", "oldmap"}));

  // Another MOD whose PAK is stored damaged: its check sum fails on extraction.
  const modelgen::ByteVector pak = pakOf({"maps/newmap.bsp"});
  std::string bytes(pak.begin(), pak.end());
  ASSERT_TRUE(WriteArchive(t.request.modArchive, {{"mymod/pak0.pak", bytes, ArchiveEntry::Kind::File, false}}).ok());
  std::string zip = t.dir.read("mods/mymod.zip");
  const std::size_t at = zip.find("PACK");
  ASSERT_NE(at, std::string::npos);
  zip[at + 20] ^= 0x55;  // inside the stored data, past the header
  t.dir.write("mods/mymod.zip", zip);
  EXPECT_EQ(t.fill().items, Names{});
}
