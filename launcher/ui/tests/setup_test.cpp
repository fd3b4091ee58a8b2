#include <gtest/gtest.h>

#include <QListView>
#include <filesystem>
#include <memory>

#include "dialogs/programpicker.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {
struct SetupRun : Launcher {
  QString answer;
  Tfsetup::FilePick lastPick = Tfsetup::FilePick::Background;
  SetupRun() {
    create();
    setup->pickFolder = [this](const QString&, const QString&) { return answer; };
    setup->pickFile = [this](const QString&, const QString&, Tfsetup::FilePick what) {
      lastPick = what;
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
  EXPECT_EQ(r.lastPick, Tfsetup::FilePick::Program);
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
  EXPECT_EQ(r.lastPick, Tfsetup::FilePick::Background);
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
  EXPECT_EQ(r.setup->size(), QSize(878, 473));
  EXPECT_TRUE(WaitFor([&] { return r.hub->size() == QSize(690, 519); }, 1000));
}

namespace {
void writeProgram(const TempDir& dir, const std::string& name) {
  dir.write(name, "#!/bin/sh\n");
  std::filesystem::permissions(dir.file(name), std::filesystem::perms::owner_all);
}

QStringList itemsOf(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

void choose(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}
}  // namespace

// Stand-ins of known and unknown names on the search path: the lists offer the
// known ones, a choice fills the EXE and the base argument, and a value the list
// does not hold is shown as it stands.
TEST(SetupEngines, TheListsOfferWhatIsFoundAndAChoiceSetsTheExeAndTheBaseArgument) {
  SetupRun r;
  writeProgram(r.games, "bin/quakespasm");
  writeProgram(r.games, "bin/yquake2");
  writeProgram(r.games, "bin/notquake");
  r.games.write("bin/ironwail", "not executable");
  r.setup->searchPath = r.games.folder() + "bin";
  r.setup->show();
  ASSERT_TRUE(WaitFor([&] { return r.setup->isVisible(); }));
  const QString quakespasm = QString::fromStdString(r.games.file("bin/quakespasm"));
  const QString yquake2 = QString::fromStdString(r.games.file("bin/yquake2"));
  EXPECT_EQ(itemsOf(r.setup->cq1engines), QStringList{quakespasm});
  EXPECT_EQ(itemsOf(r.setup->cq2engines), QStringList{yquake2});
  EXPECT_EQ(r.setup->cq2engines->accessibleName(), QStringLiteral("QUAKE 2 engines"));
  EXPECT_EQ(r.setup->cq2basearg->accessibleName(), QStringLiteral("QUAKE 2 base argument"));

  const std::string gameFolder = r.ctx.vars.q2.Path;
  choose(r.setup->cq2engines, 0);
  EXPECT_EQ(r.ctx.vars.q2.EXE, yquake2.toStdString());
  EXPECT_EQ(r.ctx.vars.q2.Path, gameFolder);
  EXPECT_EQ(r.ctx.vars.q2.BaseArg, "-datadir");
  EXPECT_EQ(r.setup->eq2exe->text(), yquake2);
  EXPECT_EQ(r.setup->cq2basearg->currentText(), QStringLiteral("-datadir"));
  EXPECT_EQ(r.setup->cq2engines->currentText(), yquake2);

  choose(r.setup->cq2basearg, 0);
  EXPECT_EQ(r.ctx.vars.q2.BaseArg, "");
  r.ctx.vars.q1.BaseArg = "-game";  // written by hand into the settings file
  r.setup->infoupdate();
  EXPECT_EQ(r.setup->cq1basearg->currentIndex(), -1);
  EXPECT_EQ(r.setup->cq1basearg->placeholderText(), QStringLiteral("-game"));

  // A program typed by hand shows in the list once the field is left.
  r.setup->eq1exe->setText(quakespasm);
  emit r.setup->eq1exe->editingFinished();
  EXPECT_EQ(r.setup->cq1engines->currentText(), quakespasm);
  r.setup->eq1exe->setText(QStringLiteral("glquake"));
  emit r.setup->eq1exe->editingFinished();
  EXPECT_EQ(r.setup->cq1engines->currentIndex(), -1);

  // A known engine picked from outside the game folder is kept by its path.
  r.answer = quakespasm;
  r.setup->bq1exe->click();
  EXPECT_EQ(r.ctx.vars.q1.EXE, quakespasm.toStdString());
  EXPECT_EQ(r.ctx.vars.q1.BaseArg, "-basedir");
  EXPECT_EQ(r.setup->cq1engines->currentText(), quakespasm);
}

// Linux engines carry no extension: the picker's first filter shows what runs.
TEST(ProgramPicker, ShowsRunnableFilesUnderProgramsAndEveryFileUnderAllFiles) {
  TempDir dir;
  writeProgram(dir, "quake/quakespasm");
  dir.write("quake/readme.txt", "text");
  dir.write("quake/id1/pak0.pak", "data");
  const std::unique_ptr<QFileDialog> picker(
      MakeProgramPicker(nullptr, QStringLiteral("Game executable"), QString::fromStdString(dir.file("quake"))));
  picker->show();
  auto* view = Find<QListView>(picker.get(), "listView");
  auto shown = [&] {
    QStringList names;
    for (int i = 0; i < view->model()->rowCount(view->rootIndex()); ++i)
      names << view->model()->index(i, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
  };
  EXPECT_EQ(picker->selectedNameFilter(), QLatin1String(kProgramsFilter));
  EXPECT_TRUE(WaitFor([&] { return shown() == QStringList({"id1", "quakespasm"}); })) << shown().join(' ').toStdString();
  auto* filters = Find<QComboBox>(picker.get(), "fileTypeCombo");
  choose(filters, filters->findText(QLatin1String(kAllFilesFilter)));
  EXPECT_TRUE(WaitFor([&] { return shown() == QStringList({"id1", "quakespasm", "readme.txt"}); }))
      << shown().join(' ').toStdString();
}
