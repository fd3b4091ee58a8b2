// The option pages' rules, driven through their real widgets.
#include <gtest/gtest.h>

#include "pages/q1stuffpage.h"
#include "pages/q2stuffpage.h"
#include "testing/gamesettings.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {
struct Pages : Launcher {
  GameTree tree;
  Q1StuffPage* p1;
  Q2StuffPage* p2;
  GameSettings& q1 = ctx.vars.q1;
  GameSettings& q2 = ctx.vars.q2;
  Pages() {
    tree.write("cfgs1/lan/config.cfg", "x");
    tree.write("cfgs1/.svn/entries", "x");
    Uvars v = VarsIn(tree, prog.folder());
    v.q1.Connectb.clear();
    v.q1.Connect = true;
    v.q2.mapb.clear();
    v.q2.map = true;
    EXPECT_TRUE(SaveSettings(v).ok());
    EXPECT_TRUE(start());
    p1 = hub->q1stuff;
    p2 = hub->q2stuff;
  }
  bool shownOn(OptionSwitch* sw) { return sw->pixmap().cacheKey() == ctx.switches.on.cacheKey(); }
};
}  // namespace

TEST(Q1Stuff, StartupPutsValuesInAndTurnsOffOptionsWithoutText) {
  Pages p;
  EXPECT_FALSE(p.q1.Connect);  // switched on in the file, but with no server to join
  EXPECT_EQ(p.p1->eq1fraglimitb->text(), "15");
  EXPECT_EQ(p.p1->eq1hostname->text(), "fragdock");
  EXPECT_TRUE(p.shownOn(p.p1->bq1nojoy));
  EXPECT_FALSE(p.shownOn(p.p1->bq1connect));
  QStringList sets;
  for (int i = 0; i < p.p1->Cbq1cfg->count(); ++i) sets << p.p1->Cbq1cfg->itemText(i);
  EXPECT_EQ(sets.join(','), "(none),lan");
}

TEST(Q1Stuff, SwitchRules) {
  Pages p;
  auto* s = p.p1;
  s->bq1dedicated->click();
  s->bq1listen->click();
  EXPECT_TRUE(p.q1.Dedicated);
  EXPECT_FALSE(p.q1.Listen) << "never both servers";
  s->bq1dedicated->click();
  s->bq1listen->click();
  s->bq1dedicated->click();
  EXPECT_TRUE(p.q1.Listen);
  EXPECT_FALSE(p.q1.Dedicated);

  s->eq1connect->setText("192.0.2.7");
  s->bq1nodemo->click();
  s->bq1map->click();
  EXPECT_TRUE(p.q1.map);
  EXPECT_FALSE(p.q1.NoDemos) << "map on turns NoDemos off";
  s->bq1nodemo->click();
  EXPECT_FALSE(p.q1.NoDemos) << "NoDemos stays off while map is on";
  s->bq1connect->click();
  EXPECT_TRUE(p.q1.Connect);
  EXPECT_FALSE(p.q1.map);
  EXPECT_FALSE(p.shownOn(s->bq1map));
  s->bq1map->click();
  EXPECT_FALSE(p.q1.map) << "no map while connecting";
  s->eq1connect->setText("");
  EXPECT_FALSE(p.q1.Connect);
  EXPECT_FALSE(p.shownOn(s->bq1connect));

  s->eq1hostname->setText("");
  s->bq1hostname->click();
  EXPECT_FALSE(p.q1.HostName);
  s->eq1hostname->setText("lan party");
  s->bq1hostname->click();
  EXPECT_TRUE(p.q1.HostName);
  EXPECT_EQ(p.q1.HostNameb, "lan party");

  s->bq1nosound->click();
  EXPECT_TRUE(p.q1.NoSound);
  EXPECT_TRUE(p.shownOn(s->bq1nosound));
}

TEST(Q1Stuff, ConfigSetCombo) {
  Pages p;
  auto* s = p.p1;
  s->bq1cfg->click();
  EXPECT_FALSE(p.q1.UseCFG) << "no set chosen";
  emit s->Cbq1cfg->textActivated("lan");
  EXPECT_EQ(p.q1.ACFG, "lan");
  EXPECT_TRUE(p.q1.UseCFG);
  EXPECT_TRUE(p.shownOn(s->bq1cfg));
  s->Cbq1cfg->setEditText("typed");
  EXPECT_EQ(s->Cbq1cfg->currentText(), "lan") << "the combo only takes choices";
  emit s->Cbq1cfg->textActivated("(none)");
  EXPECT_EQ(p.q1.ACFG, "");
  EXPECT_FALSE(p.q1.UseCFG);
}

TEST(Q1Stuff, FieldRules) {
  Pages p;
  auto* s = p.p1;
  s->eq1dedicatedb->setText("12");
  EXPECT_EQ(p.q1.Dedicatedb, 12);
  for (const char* bad : {"256", "-1", "abc"}) {
    s->eq1dedicatedb->setText(bad);
    EXPECT_EQ(s->eq1dedicatedb->text(), "12") << bad;
    EXPECT_EQ(p.q1.Dedicatedb, 12) << bad;
  }
  s->eq1listenb->setText("");
  EXPECT_EQ(s->eq1listenb->text(), "0");
  EXPECT_EQ(p.q1.Listenb, 0);

  s->eq1dm->setText("12a");
  EXPECT_EQ(s->eq1dm->text(), "");
  EXPECT_EQ(p.q1.Deathmatchb, 0);
  s->eq1timelimit->setText("300");  // number fields have no range
  EXPECT_EQ(p.q1.timelimitb, 300);

  auto* up = s->eq1dm->parentWidget()->findChild<QPushButton*>("q1dmi");
  auto* down = s->eq1dm->parentWidget()->findChild<QPushButton*>("q1dmd");
  ASSERT_TRUE(up && down);
  down->click();
  EXPECT_EQ(p.q1.Deathmatchb, 0);
  up->click();
  up->click();
  EXPECT_EQ(p.q1.Deathmatchb, 2);
  EXPECT_EQ(s->eq1dm->text(), "2");
  s->eq1dm->setText("255");
  up->click();
  EXPECT_EQ(p.q1.Deathmatchb, 255);

  emit s->Cbq1map->setEditText("e1m1");
  s->bq1map->click();
  EXPECT_EQ(p.q1.mapb, "e1m1");
  EXPECT_TRUE(p.q1.map);
  s->Cbq1map->setEditText("");
  EXPECT_FALSE(p.q1.map);
  s->eq1cmdline->setText("+skill 3");
  EXPECT_EQ(p.q1.CmdLine, "+skill 3");
}

TEST(Q2Stuff, RulesThatDifferFromQuake) {
  Pages p;
  auto* s = p.p2;
  EXPECT_FALSE(p.q2.map) << "switched on in the file, but with no map to start";
  s->bq2dedicated->click();
  EXPECT_TRUE(p.q2.Dedicated);
  s->eq2hostname->setText("");
  s->bq2hostname->click();
  EXPECT_TRUE(p.q2.HostName) << "Quake 2's HostName does not look at the field";
  s->eq2hostname->setText("x");
  s->eq2hostname->setText("");
  EXPECT_FALSE(p.q2.HostName) << "an emptied field still turns it off";
  s->bq2cfg->click();
  EXPECT_TRUE(p.q2.UseCFG) << "toggles freely";

  EXPECT_TRUE(p.q2.NoDemos);
  s->bq2map->click();
  EXPECT_FALSE(p.q2.NoDemos);

  emit s->cbq2tp->textActivated("by Model");
  EXPECT_TRUE(p.q2.teamsbymodel && p.q2.TeamPlay && !p.q2.teamsbyskin);
  s->cbq2tp->setEditText("by Nothing");
  EXPECT_EQ(s->cbq2tp->currentText(), "by Model");
  emit s->cbq2tp->textActivated("by Skin");
  EXPECT_TRUE(p.q2.teamsbyskin && !p.q2.teamsbymodel);

  s->Eq2cd->setText("/mnt/cdrom");
  EXPECT_EQ(p.q2.cddirb, "/mnt/cdrom");
  EXPECT_TRUE(p.q2.cddir);
  s->Eq2cd->setText("");
  EXPECT_FALSE(p.q2.cddir);

  for (QLineEdit* field : {s->eq2dm, s->eq2fraglimitb, s->Eq2maxclients}) {
    field->setText("7");
    field->setText("256");
    EXPECT_EQ(field->text(), "7") << field->objectName().toStdString();
  }
  EXPECT_EQ(p.q2.maxclientsb, 7);

  s->bq2NoHealth->click();
  EXPECT_TRUE(p.q2.nohelth);
  EXPECT_EQ(s->ldmflags->text().toStdString(), "dmflags " + std::to_string(16400 + 1 + 64));
}
