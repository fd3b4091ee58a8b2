// The start-map combos rebuild their lists when they drop down.
#include <gtest/gtest.h>

#include <QComboBox>

#include "core/content/pakcontent.h"
#include "modelgen/writers.h"
#include "testing/gamesettings.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {

std::vector<std::uint8_t> pakOf(const std::vector<std::string>& names) {
  std::vector<modelgen::PakMember> members;
  for (const std::string& name : names) members.push_back({name, {7}});
  return modelgen::encodePak(members);
}

struct StuffPages : Launcher {
  GameTree tree;
  StuffPages() {
    tree.write("quake/id1/pak0.pak", pakOf({"maps/b_batt0.bsp", "maps/e1m1.bsp", "maps/start.bsp"}));
    tree.write("quake/id1/maps/mine.bsp", "bsp");
    tree.write("quake2/baseq2/pak0.pak", pakOf({"maps/q2dm1.bsp", "maps/base1.bsp"}));
    tree.write("quake2/baseq2/broken.pak", "no archive");
    Uvars v = VarsIn(tree, prog.folder());
    v.q1.mapb = "dm4";
    EXPECT_TRUE(SaveSettings(v).ok());
    answerYes = true;
    EXPECT_TRUE(start());
  }
  static QStringList items(QComboBox* combo) {
    QStringList all;
    for (int i = 0; i < combo->count(); ++i) all << combo->itemText(i);
    return all;
  }
  static void dropDown(QComboBox* combo) {
    combo->showPopup();
    combo->hidePopup();
  }
};

}  // namespace

TEST(MapCombo, DroppingDownListsInstalledAndPakMapsAndKeepsTheStartMap) {
  StuffPages p;
  QComboBox* combo = Find<QComboBox>(p.hub.get(), "Cbq1map");
  EXPECT_EQ(combo->maxVisibleItems(), 20);
  StuffPages::dropDown(combo);
  EXPECT_EQ(StuffPages::items(combo).join(','), "e1m1,mine,start");
  EXPECT_EQ(combo->currentText(), "dm4");
  EXPECT_EQ(p.ctx.vars.q1.mapb, "dm4");
  EXPECT_EQ(p.questions, QStringList{QString::fromLatin1(kPakListingQuestion.data())});
  EXPECT_TRUE(p.tree.exists("quake/id1/pak0.fdk"));
  EXPECT_FALSE(p.ctx.fscan->isVisible());

  StuffPages::dropDown(combo);
  EXPECT_EQ(StuffPages::items(combo).join(','), "e1m1,mine,start") << "refilled, not added to";
  EXPECT_EQ(p.questions.size(), 1);
  EXPECT_TRUE(p.warnings.isEmpty());
}

TEST(MapCombo, QuakeTwoTellsOnceAboutADamagedPakAndFillsTheMapsLstList) {
  StuffPages p;
  QComboBox* combo = Find<QComboBox>(p.hub.get(), "cbq2map");
  StuffPages::dropDown(combo);
  StuffPages::dropDown(combo);
  EXPECT_EQ(StuffPages::items(combo).join(','), "base1,q2dm1");
  EXPECT_EQ(p.ctx.pakContent.q2MapsLst, (std::vector<std::string>{"q2dm1", "base1"}));
  ASSERT_EQ(p.warnings.size(), 1);
  EXPECT_TRUE(p.warnings[0].contains("broken.pak"));
}
