#include "core/content/mods.h"

#include <gtest/gtest.h>

#include "testing/tempdir.h"

using namespace fdk;

namespace {
struct ModFolder {
  TempDir dir;
  GameSettings g;
  ModFolder() { g.Patch = dir.folder(); }
};
}  // namespace

TEST(ModList, QuakeListsTxtAndWatNamesSortedQuakeTwoOnlyTxt) {
  ModFolder m;
  for (const char* name : {"ctf.txt", "ctf.wat", "Arena.txt", "zeus.TXT", "ctf.zip", "b.wat", ".txt"})
    m.dir.write(name, "x");
  m.dir.write("folder.txt/inside", "a folder is not a description");
  EXPECT_EQ(ModListItems(m.g, Game::Quake1),
            (std::vector<std::string>{"(none)", "Arena", "b", "ctf", "ctf", "zeus"}));
  EXPECT_EQ(ModListItems(m.g, Game::Quake2), (std::vector<std::string>{"(none)", "Arena", "ctf", "zeus"}));
  GameSettings missing;
  missing.Patch = m.dir.folder() + "nowhere/";
  EXPECT_EQ(ModListItems(missing, Game::Quake1), (std::vector<std::string>{"(none)"}));
}

TEST(ModChoice, DescriptionTheWatWinsForQuakeOnly) {
  ModFolder m;
  m.dir.write("ctf.txt", "Capture the flag.\r\n");
  m.dir.write("ctf.wat", "What the wat says.\r\n");
  ModChoice q1 = ChooseMod(m.g, Game::Quake1, "ctf");
  EXPECT_EQ(q1.mod, "ctf");
  EXPECT_TRUE(q1.hasDescription);
  EXPECT_EQ(q1.description, "What the wat says.\r\n");
  EXPECT_EQ(ChooseMod(m.g, Game::Quake2, "ctf").description, "Capture the flag.\r\n");

  ModChoice none = ChooseMod(m.g, Game::Quake1, "(none)");
  EXPECT_EQ(none.mod, "");
  EXPECT_TRUE(none.clearDescription);
  EXPECT_EQ(none.preview.kind, ModPreview::Kind::Placeholder);
  EXPECT_FALSE(ChooseMod(m.g, Game::Quake1, "gone").hasDescription) << "the box keeps its text";
}

TEST(ModChoice, PreviewBitmapFirstThenPcxThenJpgThenPlaceholder) {
  struct Row {
    std::vector<const char*> files;
    const char* mod;
    ModPreview::Kind kind;
    const char* shown;
  };
  const Row rows[] = {
      {{"a.bmp", "a.pcx", "a.jpg"}, "a", ModPreview::Kind::Bitmap, "a.bmp"},
      {{"a.pcx", "a.jpg"}, "a", ModPreview::Kind::Convert, "a.pcx"},
      {{"a.jpg"}, "a", ModPreview::Kind::Convert, "a.jpg"},
      {{"A.BMP"}, "a", ModPreview::Kind::Bitmap, "A.BMP"},
      {{"zeusbot.pcx", "ZeusBots.bmp"}, "ZeusBots", ModPreview::Kind::Convert, "zeusbot.pcx"},
      {{"zeusbot.bmp"}, "zeusbots", ModPreview::Kind::Bitmap, "zeusbot.bmp"},
      {{"b.bmp"}, "a", ModPreview::Kind::Placeholder, ""},
  };
  for (const Row& r : rows) {
    ModFolder m;
    for (const char* f : r.files) m.dir.write(f, "picture");
    ModPreview p = ChooseMod(m.g, Game::Quake2, r.mod).preview;
    EXPECT_EQ(p.kind, r.kind) << r.mod << " " << r.files[0];
    EXPECT_EQ(p.path, *r.shown ? m.dir.folder() + r.shown : "") << r.mod;
  }
}
