#include <gtest/gtest.h>

#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {
struct SetupRun : Launcher {
  QString answer;
  int lastFilter = -1;
  SetupRun() {
    create();
    setup->pickFolder = [this](const QString&, const QString&) { return answer; };
    setup->pickFile = [this](const QString&, const QString&, int filter) {
      lastFilter = filter;
      return answer;
    };
    EXPECT_TRUE(start());
  }
};
}  // namespace

TEST(Setup, EditsStoreTextAsTyped) {
  SetupRun r;
  r.setup->eq1p->setText("/games/quake");
  r.setup->es2p->setText("/models");
  EXPECT_EQ(r.ctx.vars.q1.Path, "/games/quake");  // mended only at the next save
  EXPECT_EQ(r.ctx.vars.q2.Skins, "/models");
}

TEST(Setup, FolderPickerStoresWithSeparatorAndCancelKeeps) {
  SetupRun r;
  r.answer = QString::fromStdString(r.games.folder() + "maps");
  r.setup->bm1p->click();
  EXPECT_EQ(r.ctx.vars.q1.Maps, r.games.folder() + "maps/");
  EXPECT_EQ(r.setup->em1p->text().toStdString(), r.games.folder() + "maps/");
  r.answer.clear();
  r.setup->bm1p->click();
  EXPECT_EQ(r.ctx.vars.q1.Maps, r.games.folder() + "maps/");
}

TEST(Setup, ExecutablePickerSetsExeAndPath) {
  SetupRun r;
  r.games.write("games/quake/winquake.exe", "");
  r.answer = QString::fromStdString(r.games.file("games/quake/winquake.exe"));
  r.setup->bq1exe->click();
  EXPECT_EQ(r.lastFilter, 0);
  EXPECT_EQ(r.ctx.vars.q1.EXE, "winquake.exe");
  EXPECT_EQ(r.ctx.vars.q1.Path, r.games.folder() + "games/quake/");
  EXPECT_EQ(r.setup->eq1p->text().toStdString(), r.ctx.vars.q1.Path);
  r.answer = QString::fromStdString(r.games.file("missing.exe"));
  r.setup->bq2exe->click();
  EXPECT_EQ(r.ctx.vars.q2.EXE, "quake2.exe");
}

TEST(Setup, BackgroundPickerPrefersBmpAndReachesEveryPage) {
  SetupRun r;
  QImage bmp(8, 8, QImage::Format_RGB32);
  bmp.fill(Qt::blue);
  QImage jpg(9, 9, QImage::Format_RGB32);
  jpg.fill(Qt::red);
  r.games.write("pics/sky.jpg", "");
  jpg.save(QString::fromStdString(r.games.file("pics/sky.jpg")), "JPG");
  r.answer = QString::fromStdString(r.games.file("pics/sky.jpg"));
  r.setup->Bfdockback->click();
  EXPECT_EQ(r.lastFilter, 2);
  EXPECT_EQ(r.ctx.vars.app.fdockback, r.games.file("pics/sky"));
  EXPECT_EQ(r.hub->pages[Tfhub::Q2Maps]->background()->pixmap().width(), 9);

  bmp.save(QString::fromStdString(r.games.file("pics/sky.bmp")), "BMP");
  r.setup->Bfdockback->click();
  EXPECT_EQ(r.hub->pages[Tfhub::Info]->background()->pixmap().width(), 8);
  EXPECT_TRUE(r.fatals.isEmpty());
}

TEST(Setup, QuakeWorldSwitchAndWindowSize) {
  SetupRun r;
  bool reported = false;
  QObject::connect(&r.ctx.content, &ContentEvents::quakeWorldChanged, [&](bool on) { reported = on; });
  r.setup->bq1qw->click();
  EXPECT_TRUE(r.ctx.vars.q1.QuakeWorld);
  EXPECT_TRUE(reported);
  EXPECT_EQ(r.setup->bq1qw->pixmap().cacheKey(), r.ctx.switches.on.cacheKey());
  r.setup->bq1qw->click();
  EXPECT_FALSE(r.ctx.vars.q1.QuakeWorld);

  r.setup->sexinc->setValue(40);
  r.setup->seyinc->setValue(-5);  // refused by the control
  EXPECT_EQ(r.ctx.vars.app.xinc, 40);
  EXPECT_EQ(r.ctx.vars.app.yinc, 0);
  EXPECT_EQ(r.setup->size(), QSize(504, 473));
  EXPECT_TRUE(WaitFor([&] { return r.hub->size() == QSize(690, 519); }, 1000));
}
