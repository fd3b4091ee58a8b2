// The MOD pages, driven through their list and preview as a player would.
#include <gtest/gtest.h>

#include <QTimer>

#include "hub/hub.h"
#include "modelgen/writers.h"
#include "pages/modpage.h"
#include "testing/gamesettings.h"
#include "uitest.h"
#include "work/picturewindow.h"

using namespace fdk;
using namespace fdk::test;

namespace {
modelgen::ByteVector pcx(uint32_t w, uint32_t h) {
  modelgen::Palette palette{};
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>(i);
  return modelgen::encodePcx(w, h, std::vector<uint8_t>(size_t{w} * h, 7), palette);
}

struct ModPages : Launcher {
  GameTree tree;
  ModPages() {
    tree.writeFiles({{"mods1/ctf.txt", "Capture the flag.\r\n"},
                     {"mods1/ctf.wat", "The wat of ctf.\r\n"},
                     {"mods1/ZeusBots.txt", "Bots.\r\n"},
                     {"mods1/broken.txt", "Its picture is damaged.\r\n"},
                     {"mods1/broken.pcx", "not a pcx"},
                     {"mods2/arena.txt", "Arena.\r\n"}});
    tree.write("mods1/zeusbot.pcx", pcx(40, 20));
    Uvars v = VarsIn(tree, prog.folder());
    EXPECT_TRUE(SaveSettings(v).ok());
    EXPECT_TRUE(start());
  }
  ModPage* page(Game game) { return Find<ModPage>(hub->pages[game == Game::Quake1 ? Tfhub::Q1Mod : Tfhub::Q2Mod]); }
  QStringList items(Game game) {
    QStringList out;
    for (int i = 0; i < page(game)->patchlist->count(); ++i) out << page(game)->patchlist->item(i)->text();
    return out;
  }
  void choose(Game game, int row) { page(game)->patchlistClick(page(game)->patchlist->item(row)); }
  QImage preview(Game game) { return page(game)->preview()->pixmap().toImage(); }
  bool showsPlaceholder(Game game) { return preview(game) == ctx.placeholder.toImage(); }
};
}  // namespace

TEST(ModPages, ListsChooseAndDescribe) {
  ModPages m;
  EXPECT_EQ(m.items(Game::Quake1), (QStringList{"(none)", "broken", "ctf", "ctf", "ZeusBots"}));
  EXPECT_EQ(m.items(Game::Quake2), (QStringList{"(none)", "arena"}));
  m.choose(Game::Quake1, 2);
  EXPECT_EQ(m.ctx.vars.q1mod, "ctf");
  EXPECT_EQ(m.page(Game::Quake1)->patchtext->toPlainText(), "The wat of ctf.\n");
  EXPECT_TRUE(m.showsPlaceholder(Game::Quake1)) << "ctf has no picture";
  m.choose(Game::Quake1, 0);
  EXPECT_EQ(m.ctx.vars.q1mod, "");
  EXPECT_TRUE(m.page(Game::Quake1)->patchtext->toPlainText().isEmpty());
  m.choose(Game::Quake2, 1);
  EXPECT_EQ(m.ctx.vars.q2mod, "arena");
  EXPECT_EQ(m.ctx.vars.q1mod, "") << "each game keeps its own choice";
}

TEST(ModPages, ConvertedPreviewAndNeverAStaleOne) {
  ModPages m;
  m.choose(Game::Quake1, 4);  // ZeusBots shows "zeusbot.pcx" through the converter
  EXPECT_EQ(m.ctx.vars.q1mod, "ZeusBots");
  EXPECT_EQ(m.preview(Game::Quake1).size(), QSize(40, 20));
  EXPECT_TRUE(m.prog.exists("!-!.bmp"));
  m.choose(Game::Quake1, 1);  // a damaged picture: the placeholder, not the bots' picture
  EXPECT_TRUE(m.showsPlaceholder(Game::Quake1));
  EXPECT_FALSE(m.prog.exists("!-!.bmp"));
}

TEST(ModPages, APreviewClickFillsTheScreenAndAClickClosesIt) {
  ModPages m;
  m.choose(Game::Quake1, 4);
  bool shown = false;
  QTimer::singleShot(50, [&] {
    shown = m.ffatpic->isVisible() && m.ffatpic->i->pixmap().size() == QSize(40, 20);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(m.ffatpic.get(), &click);
  });
  m.page(Game::Quake1)->prevClick();  // returns once the picture window is closed
  EXPECT_TRUE(shown);
  EXPECT_FALSE(m.ffatpic->isVisible());
}
