#include <QTabBar>
#include <gtest/gtest.h>

#include "core/store/ini.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

TEST(Startup, FirstStartLoadsEverythingAndOpensOnInfo) {
  Launcher l;
  l.games.write("games/quake/id1/q.cfg", "map dm2\r\n");
  l.games.write("games/quake2/baseq2/q.cfg", "map guer\r\n");
  l.prog.write("paktemp/pak0.pak", "left over");
  l.prog.write("!-!.bmp", "left over");
  ASSERT_TRUE(l.start());
  EXPECT_TRUE(l.fatals.isEmpty());
  EXPECT_TRUE(l.prog.exists("Fragdock.ini"));
  EXPECT_TRUE(l.prog.exists("fdk.bmp")) << "the logo came from fdk.jpg and is kept as a bitmap";
  EXPECT_FALSE(l.games.exists("games/quake/id1/q.cfg"));
  EXPECT_FALSE(l.games.exists("games/quake2/baseq2/q.cfg"));
  EXPECT_FALSE(l.prog.exists("paktemp"));
  EXPECT_FALSE(l.prog.exists("!-!.bmp"));

  Tfhub& hub = *l.hub;
  EXPECT_EQ(hub.windowTitle(), "Fragdock");
  QStringList tabs;
  for (int i = 0; i < hub.TabSet->count(); ++i) tabs << hub.TabSet->tabText(i);
  EXPECT_EQ(tabs.join(','), "Info,Q1 MOD,Q1 Maps,Q1 Skins,Q1 Stuff,Q2 MOD,Q2 Maps,Q2 Models,Q2 Stuff");
  EXPECT_EQ(hub.TabSet->shape(), QTabBar::RoundedSouth);
  EXPECT_EQ(hub.aaaNotebook->currentIndex(), 0);
  for (const char* preview : {"q1prev", "q1skin", "q2prev", "iq2sp"})
    EXPECT_EQ(Find<QLabel>(&hub, preview)->pixmap().cacheKey(), l.ctx.placeholder.cacheKey()) << preview;
  for (PageFrame* page : hub.pages) EXPECT_FALSE(page->background()->pixmap().isNull());
  EXPECT_FALSE(hub.bq1go->isVisible());
  EXPECT_EQ(l.setup->eq1exe->text(), "quakd.exe");

  QLabel* title = Find<QLabel>(&hub, "lscroll");
  ASSERT_TRUE(WaitFor([&] { return title->text() == " Fragdock v1.0"; }, 3000));
  hub.TabSet->setCurrentIndex(Tfhub::Q2Stuff);
  EXPECT_EQ(hub.aaaNotebook->currentIndex(), Tfhub::Q2Stuff);
}

TEST(Startup, EachMissingRequiredPictureEndsWithNoWay) {
  for (const char* missing : {"fdk.jpg", "litleback.bmp", "themes/Fragdock.bmp", "!none!.bmp"}) {
    Launcher l;
    std::filesystem::remove(l.prog.file(missing));
    EXPECT_FALSE(l.start()) << missing;
    EXPECT_EQ(l.fatals, QStringList{"NO WAY"}) << missing;
    EXPECT_FALSE(l.hub->isVisible()) << missing;
  }
}

TEST(Startup, JpgAlternativesAreEnough) {
  Launcher l;
  std::filesystem::rename(l.prog.file("!none!.bmp"), l.prog.file("!none!.jpg"));
  std::filesystem::rename(l.prog.file("litleback.bmp"), l.prog.file("litleback.jpg"));
  ASSERT_TRUE(l.start());
  EXPECT_TRUE(l.fatals.isEmpty());
}

TEST(Startup, CloseSavesSettingsAndCleansUp) {
  Launcher l;
  ASSERT_TRUE(l.start());
  l.ctx.vars.q1.EXE = "winquake.exe";
  l.ctx.vars.q1.CFG = l.games.folder() + "cfgs";
  l.prog.write("paktemp/pak1.pak", "x");
  l.hub->TabSet->setCurrentIndex(Tfhub::Q1Stuff);
  l.hub->bx->click();
  EXPECT_FALSE(l.hub->isVisible());
  Result<IniFile> loaded = IniFile::load(l.prog.file("Fragdock.ini"));
  ASSERT_TRUE(loaded.ok());
  IniFile ini = *loaded;
  EXPECT_EQ(ini.read("Quake 1", "EXE"), "winquake.exe");
  EXPECT_EQ(ini.read("Quake 1", "CFG"), l.games.folder() + "cfgs/");
  EXPECT_FALSE(l.prog.exists("paktemp"));
}

TEST(Startup, SizeLockHoldsTheIncreasedSizeAndUndoesMinimise) {
  Launcher l;
  l.prog.write("Fragdock.ini", "[Fragdock]\nxinc=100\nyinc=0\nfdockback=themes/Fragdock\n");
  ASSERT_TRUE(l.start());
  Tfhub& hub = *l.hub;
  ASSERT_TRUE(WaitFor([&] { return hub.size() == QSize(750, 519); }, 1000)) << hub.width() << "x" << hub.height();
  hub.resize(900, 700);
  EXPECT_TRUE(WaitFor([&] { return hub.size() == QSize(750, 519); }, 1000));
  hub.showMinimized();
  EXPECT_TRUE(WaitFor([&] { return !(hub.windowState() & Qt::WindowMinimized); }, 1000));
}
