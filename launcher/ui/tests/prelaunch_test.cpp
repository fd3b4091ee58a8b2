// The pre-launch checks on the Stuff pages, driven through their real widgets.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "testing/gamesettings.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {

struct Checked : Launcher {
  GameTree tree;
  Checked() {
    tree.script("quake/quake", "exit 0");
    tree.script("quake2/quake2", "exit 0");
    tree.write("quake/ID1/PAK0.PAK", "PACK");
    tree.write("quake/ID1/pak1.pak", "PACK");
    tree.write("quake2/baseq2/pak0.pak", "PACK");
    Uvars v = VarsIn(tree, prog.folder());
    v.q1.EXE = "quake";
    v.q2.EXE = "quake2";
    EXPECT_TRUE(SaveSettings(v).ok());
    EXPECT_TRUE(start());
  }
  // Shows the page anew, as a player coming from another page does.
  QWidget* show(Tfhub::PageIndex page) {
    hub->TabSet->setCurrentIndex(page == Tfhub::Info ? Tfhub::Q1Mod : Tfhub::Info);
    hub->TabSet->setCurrentIndex(page);
    EXPECT_TRUE(WaitFor([&] { return hub->pages[page]->isVisible(); }));
    return hub->pages[page];
  }
  static QStringList items(QWidget* page) {
    QStringList out;
    auto* list = Find<QListWidget>(page, "lbchecks");
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }
};

}  // namespace

// The list follows the game tree each time the page is shown; "Fix letter case"
// renames, tells what it did and empties the list; "Undo letter case" puts the
// names back.
TEST(PreLaunchList, FollowsTheGameTreeAndTheLetterCaseFixEmptiesIt) {
  Checked c;
  EXPECT_EQ(Find<QLabel>(c.show(Tfhub::Info), "lchecks")->text(),
            QStringLiteral("Pre-launch checks: Quake: 2 findings, see Q1 Stuff. Quake 2: all well."));
  QWidget* q1 = c.show(Tfhub::Q1Stuff);
  EXPECT_EQ(Checked::items(q1), QStringList({"The folder ID1 must be called id1: Linux engines look for it in lower case.",
                                             "PAK0.PAK in ID1 is not read: the engines look for pak0.pak."}));
  auto* list = Find<QListWidget>(q1, "lbchecks");
  EXPECT_EQ(list->accessibleName(), QStringLiteral("Pre-launch checks"));
  auto* fix = Find<QPushButton>(q1, "bfixcase");
  auto* undo = Find<QPushButton>(q1, "bundocase");
  EXPECT_TRUE(fix->isVisible());
  EXPECT_FALSE(undo->isVisible());
  EXPECT_TRUE(Checked::items(c.show(Tfhub::Q2Stuff)).isEmpty());
  c.tree.write("quake2/baseq2/PAK1.PAK", "PACK");
  EXPECT_EQ(Checked::items(c.show(Tfhub::Q2Stuff)),
            QStringList{"PAK1.PAK in baseq2 is not read: the engines look for pak1.pak."});
  EXPECT_TRUE(Find<QPushButton>(c.hub->pages[Tfhub::Q2Stuff], "bfixcase")->isVisible());

  c.tree.write("quake/ID1/pak3.pak", "PACK");
  q1 = c.show(Tfhub::Q1Stuff);
  EXPECT_EQ(Checked::items(q1).size(), 3);
  fix->click();
  EXPECT_EQ(c.notes, QStringList{"Renamed: ID1 to id1, id1/PAK0.PAK to pak0.pak."});
  EXPECT_EQ(Checked::items(q1), QStringList{"pak2.pak is missing from id1, so Quake never reads pak3.pak."});
  EXPECT_FALSE(fix->isVisible());
  EXPECT_TRUE(undo->isVisible());
  EXPECT_TRUE(std::filesystem::exists(c.tree.file("quake/id1/pak0.pak")));

  undo->click();
  EXPECT_EQ(c.notes.last(), QStringLiteral("Put back: id1/pak0.pak to PAK0.PAK, id1 to ID1."));
  EXPECT_EQ(Checked::items(q1).size(), 3);
  EXPECT_FALSE(undo->isVisible());
  EXPECT_TRUE(std::filesystem::exists(c.tree.file("quake/ID1/PAK0.PAK")));
  EXPECT_TRUE(c.warnings.isEmpty());
}
