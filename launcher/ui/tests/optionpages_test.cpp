// The option pages' rules, driven through their real widgets.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "core/archive/catalogue.h"
#include "core/launch/commandpreview.h"
#include "pages/optionswitch.h"
#include "testing/gamesettings.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {
struct Pages : Launcher {
  GameTree tree;
  GameSettings& q1 = ctx.vars.q1;
  GameSettings& q2 = ctx.vars.q2;
  explicit Pages(const std::function<void(Uvars&)>& stored = {}) {
    tree.write("cfgs1/lan/config.cfg", "x");
    tree.write("cfgs1/.svn/entries", "x");
    Uvars v = VarsIn(tree, prog.folder());
    v.q1.Connectb.clear();
    v.q1.Connect = true;
    v.q2.mapb.clear();
    v.q2.map = true;
    if (stored) stored(v);
    EXPECT_TRUE(SaveSettings(v).ok());
    EXPECT_TRUE(start());
  }
  // The pages' controls, by the names the rows give them.
  OptionSwitch* sw(const char* name) { return Find<OptionSwitch>(hub.get(), name); }
  QLineEdit* field(const char* name) { return Find<QLineEdit>(hub.get(), name); }
  QComboBox* combo(const char* name) { return Find<QComboBox>(hub.get(), name); }
  bool shownOn(const char* name) { return sw(name)->pixmap().cacheKey() == ctx.switches.on.cacheKey(); }
};
}  // namespace

TEST(Q1Stuff, StartupPutsValuesInAndTurnsOffOptionsWithoutText) {
  Pages p;
  EXPECT_FALSE(p.q1.Connect);  // switched on in the file, but with no server to join
  EXPECT_EQ(p.field("eq1fraglimitb")->text(), "15");
  EXPECT_EQ(p.field("eq1hostname")->text(), "fragdock");
  EXPECT_TRUE(p.shownOn("bq1nojoy"));
  EXPECT_FALSE(p.shownOn("bq1connect"));
  QStringList sets;
  for (int i = 0; i < p.combo("Cbq1cfg")->count(); ++i) sets << p.combo("Cbq1cfg")->itemText(i);
  EXPECT_EQ(sets.join(','), "(none),lan");
}

TEST(Q1Stuff, SwitchRules) {
  Pages p;
  p.sw("bq1dedicated")->click();
  p.sw("bq1listen")->click();
  EXPECT_TRUE(p.q1.Dedicated);
  EXPECT_FALSE(p.q1.Listen) << "never both servers";
  p.sw("bq1dedicated")->click();
  p.sw("bq1listen")->click();
  p.sw("bq1dedicated")->click();
  EXPECT_TRUE(p.q1.Listen);
  EXPECT_FALSE(p.q1.Dedicated);

  p.field("eq1connect")->setText("192.0.2.7");
  p.sw("bq1nodemo")->click();
  p.sw("bq1map")->click();
  EXPECT_TRUE(p.q1.map);
  EXPECT_FALSE(p.q1.NoDemos) << "map on turns NoDemos off";
  p.sw("bq1nodemo")->click();
  EXPECT_FALSE(p.q1.NoDemos) << "NoDemos stays off while map is on";
  p.sw("bq1connect")->click();
  EXPECT_TRUE(p.q1.Connect);
  EXPECT_FALSE(p.q1.map);
  EXPECT_FALSE(p.shownOn("bq1map"));
  p.sw("bq1map")->click();
  EXPECT_FALSE(p.q1.map) << "no map while connecting";
  p.field("eq1connect")->setText("");
  EXPECT_FALSE(p.q1.Connect);
  EXPECT_FALSE(p.shownOn("bq1connect"));

  p.field("eq1hostname")->setText("");
  p.sw("bq1hostname")->click();
  EXPECT_FALSE(p.q1.HostName);
  p.field("eq1hostname")->setText("lan party");
  p.sw("bq1hostname")->click();
  EXPECT_TRUE(p.q1.HostName);
  EXPECT_EQ(p.q1.HostNameb, "lan party");

  p.sw("bq1nosound")->click();
  EXPECT_TRUE(p.q1.NoSound);
  EXPECT_TRUE(p.shownOn("bq1nosound"));
}

TEST(Q1Stuff, ConfigSetCombo) {
  Pages p;
  p.sw("bq1cfg")->click();
  EXPECT_FALSE(p.q1.UseCFG) << "no set chosen";
  emit p.combo("Cbq1cfg")->textActivated("lan");
  EXPECT_EQ(p.q1.ACFG, "lan");
  EXPECT_TRUE(p.q1.UseCFG);
  EXPECT_TRUE(p.shownOn("bq1cfg"));
  p.combo("Cbq1cfg")->setEditText("typed");
  EXPECT_EQ(p.combo("Cbq1cfg")->currentText(), "lan") << "the combo only takes choices";
  emit p.combo("Cbq1cfg")->textActivated("(none)");
  EXPECT_EQ(p.q1.ACFG, "");
  EXPECT_FALSE(p.q1.UseCFG);
}

TEST(Q1Stuff, FieldRules) {
  Pages p;
  p.field("eq1dedicatedb")->setText("12");
  EXPECT_EQ(p.q1.Dedicatedb, 12);
  for (const char* bad : {"256", "-1", "abc"}) {
    p.field("eq1dedicatedb")->setText(bad);
    EXPECT_EQ(p.field("eq1dedicatedb")->text(), "12") << bad;
    EXPECT_EQ(p.q1.Dedicatedb, 12) << bad;
  }
  p.field("eq1listenb")->setText("");
  EXPECT_EQ(p.field("eq1listenb")->text(), "0");
  EXPECT_EQ(p.q1.Listenb, 0);

  p.field("eq1dm")->setText("12a");
  EXPECT_EQ(p.field("eq1dm")->text(), "");
  EXPECT_EQ(p.q1.Deathmatchb, 0);
  p.field("eq1timelimit")->setText("300");  // number fields have no range
  EXPECT_EQ(p.q1.timelimitb, 300);

  auto* up = p.field("eq1dm")->parentWidget()->findChild<QPushButton*>("q1dmi");
  auto* down = p.field("eq1dm")->parentWidget()->findChild<QPushButton*>("q1dmd");
  ASSERT_TRUE(up && down);
  down->click();
  EXPECT_EQ(p.q1.Deathmatchb, 0);
  up->click();
  up->click();
  EXPECT_EQ(p.q1.Deathmatchb, 2);
  EXPECT_EQ(p.field("eq1dm")->text(), "2");
  p.field("eq1dm")->setText("255");
  up->click();
  EXPECT_EQ(p.q1.Deathmatchb, 255);

  emit p.combo("Cbq1map")->setEditText("e1m1");
  p.sw("bq1map")->click();
  EXPECT_EQ(p.q1.mapb, "e1m1");
  EXPECT_TRUE(p.q1.map);
  p.combo("Cbq1map")->setEditText("");
  EXPECT_FALSE(p.q1.map);
  p.field("eq1cmdline")->setText("+skill 3");
  EXPECT_EQ(p.q1.CmdLine, "+skill 3");
}

TEST(Q2Stuff, RulesThatDifferFromQuake) {
  Pages p;
  EXPECT_FALSE(p.q2.map) << "switched on in the file, but with no map to start";
  p.sw("bq2dedicated")->click();
  EXPECT_TRUE(p.q2.Dedicated);
  p.field("eq2hostname")->setText("");
  p.sw("bq2hostname")->click();
  EXPECT_TRUE(p.q2.HostName) << "Quake 2's HostName does not look at the field";
  p.field("eq2hostname")->setText("x");
  p.field("eq2hostname")->setText("");
  EXPECT_FALSE(p.q2.HostName) << "an emptied field still turns it off";
  p.sw("bq2cfg")->click();
  EXPECT_TRUE(p.q2.UseCFG) << "toggles freely";

  EXPECT_TRUE(p.q2.NoDemos);
  p.sw("bq2map")->click();
  EXPECT_FALSE(p.q2.NoDemos);

  emit p.combo("cbq2tp")->textActivated("by Model");
  EXPECT_TRUE(p.q2.teamsbymodel && p.q2.TeamPlay && !p.q2.teamsbyskin);
  p.combo("cbq2tp")->setEditText("by Nothing");
  EXPECT_EQ(p.combo("cbq2tp")->currentText(), "by Model");
  emit p.combo("cbq2tp")->textActivated("by Skin");
  EXPECT_TRUE(p.q2.teamsbyskin && !p.q2.teamsbymodel);

  p.field("Eq2cd")->setText("/mnt/cdrom");
  EXPECT_EQ(p.q2.cddirb, "/mnt/cdrom");
  EXPECT_TRUE(p.q2.cddir);
  p.field("Eq2cd")->setText("");
  EXPECT_FALSE(p.q2.cddir);

  for (QLineEdit* field : {p.field("eq2dm"), p.field("eq2fraglimitb"), p.field("Eq2maxclients")}) {
    field->setText("7");
    field->setText("256");
    EXPECT_EQ(field->text(), "7") << field->objectName().toStdString();
  }
  EXPECT_EQ(p.q2.maxclientsb, 7);

  p.sw("bq2NoHealth")->click();
  EXPECT_TRUE(p.q2.nohelth);
  EXPECT_EQ(Find<QLabel>(p.hub.get(), "ldmflags")->text().toStdString(), "dmflags " + std::to_string(16400 + 1 + 64));
}

// Every number field shows its own setting at start-up, and its raise and lower
// buttons step that setting: each row is stored with a value of its own.
TEST(OptionPages, EveryNumberFieldShowsAndStepsItsOwnSetting) {
  using G = GameSettings;
  const struct {
    Game game;
    const char* field;
    int G::*value;
    const char* raise;
    const char* lower;
  } rows[] = {
      {Game::Quake1, "eq1dedicatedb", &G::Dedicatedb, "q1dedi", "q1dedd"},
      {Game::Quake1, "eq1listenb", &G::Listenb, "q1lisi", "q1lisd"},
      {Game::Quake1, "eq1dm", &G::Deathmatchb, "q1dmi", "q1dmd"},
      {Game::Quake1, "eq1coop", &G::Coopb, "q1coopi", "q1coppd"},
      {Game::Quake1, "eq1tp", &G::TeamPlayb, "q1tpi", "q1tpd"},
      {Game::Quake1, "eq1noexit", &G::NoExitb, "q1noexi", "q1noexd"},
      {Game::Quake1, "eq1winmem", &G::WinMemb, "q1memi", "q1memd"},
      {Game::Quake1, "eq1samelevel", &G::SameLevelb, "q1sli", "q1sld"},
      {Game::Quake1, "eq1timelimit", &G::timelimitb, "q1tli", "q1tld"},
      {Game::Quake1, "eq1fraglimitb", &G::fraglimitb, "q1fli", "fld"},
      {Game::Quake2, "eq2dedicatedb", &G::Dedicatedb, "bq2dedi", "bq2dedd"},
      {Game::Quake2, "Eq2maxclients", &G::maxclientsb, "bq2maxclii", "bq2maclid"},
      {Game::Quake2, "eq2dm", &G::Deathmatchb, "bq2dmi", "bq2dmd"},
      {Game::Quake2, "eq2coop", &G::Coopb, "bq2coopi", "bq2coopd"},
      {Game::Quake2, "eq2fraglimitb", &G::fraglimitb, "bq2fli", "bq2fld"},
      {Game::Quake2, "eq2timelimit", &G::timelimitb, "bq2tli", "bq2tld"},
  };
  Pages p([&](Uvars& v) {
    int distinct = 20;
    for (const auto& row : rows) v.game(row.game).*row.value = distinct++;
  });
  for (const auto& row : rows) {
    SCOPED_TRACE(row.field);
    int& value = p.ctx.vars.game(row.game).*row.value;
    const int stored = value;
    EXPECT_EQ(p.field(row.field)->text(), QString::number(stored));
    Find<QPushButton>(p.hub.get(), row.raise)->click();
    EXPECT_EQ(value, stored + 1);
    EXPECT_EQ(p.field(row.field)->text(), QString::number(stored + 1));
    Find<QPushButton>(p.hub.get(), row.lower)->click();
    EXPECT_EQ(value, stored);
  }
}

// What Start would run, shown at once after a switch, a number, a text or a
// stepper changed it, and after another window changed a setting.
TEST(CommandLinePreview, FollowsTheOptionsAndTheSettingsOfOtherWindows) {
  Pages p;
  auto previewOn = [&](Tfhub::PageIndex page, Game game) {
    p.hub->TabSet->setCurrentIndex(page);
    auto* preview = Find<QLineEdit>(p.hub->pages[page], "ecmdpreview");
    EXPECT_TRUE(WaitFor([&] { return preview->isVisible(); }));
    return std::function<QString()>([&p, preview, game] {
      Tzipform zip;
      EXPECT_EQ(preview->text().toStdString(), CommandPreview(p.ctx.vars, game, zip));
      return preview->text();
    });
  };
  auto q1 = previewOn(Tfhub::Q1Stuff, Game::Quake1);
  EXPECT_FALSE(q1().contains(QStringLiteral("-nosound")));
  p.sw("bq1nosound")->click();
  EXPECT_TRUE(q1().contains(QStringLiteral(" -nosound")));
  if (!p.q1.WinMem) p.sw("bq1winmem")->click();
  p.field("eq1winmem")->setText(QStringLiteral("24"));
  EXPECT_TRUE(q1().contains(QStringLiteral(" -winmem 24")));
  p.field("eq1cmdline")->setText(QStringLiteral("+skill 3"));
  EXPECT_TRUE(q1().endsWith(QStringLiteral(" +skill 3")));

  p.hub->TabSet->setCurrentIndex(Tfhub::Info);
  p.q1.EXE = "/opt/quake engines/quakespasm";
  p.q1.BaseArg = "-basedir";
  q1 = previewOn(Tfhub::Q1Stuff, Game::Quake1);
  EXPECT_TRUE(q1().startsWith(QStringLiteral("'/opt/quake engines/quakespasm' -basedir ")));

  auto q2 = previewOn(Tfhub::Q2Stuff, Game::Quake2);
  if (!p.q2.Dedicated) p.sw("bq2dedicated")->click();
  const QString before = q2();
  Find<QPushButton>(p.hub.get(), "bq2dedi")->click();
  EXPECT_NE(q2(), before);
  EXPECT_TRUE(q2().contains(QStringLiteral("+set dedicated %1").arg(p.q2.Dedicatedb)));
}
