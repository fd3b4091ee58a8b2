// The Maps pages, driven through their lists and buttons as a player would.
#include <gtest/gtest.h>

#include <QMimeData>

#include "hub/hub.h"
#include "pages/mappage.h"
#include "testing/archive.h"
#include "testing/gamesettings.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {
struct MapPages : Launcher {
  GameTree tree;
  MapPages() {
    EXPECT_TRUE(tree.archive("maps1/dm7.zip", {{"id1/maps/dm7.bsp", "bsp"}, {"dm7.txt", "Seven.\r\n"}}).ok());
    EXPECT_TRUE(tree.archive("maps1/DM8.ZIP", {{"id1/maps/dm8.bsp", "bsp"}}).ok());
    tree.writeFiles(
        {{"quake/id1/maps/e1m1.bsp", "x"}, {"quake/id1/maps/e1m2.bsp", "x"}, {"quake2/baseq2/maps/q2dm1.bsp", "x"}});
    Uvars v = VarsIn(tree, prog.folder());
    EXPECT_TRUE(SaveSettings(v).ok());
    EXPECT_TRUE(start());
  }
  MapPage* page(Game game) { return Find<MapPage>(hub->pages[game == Game::Quake1 ? Tfhub::Q1Maps : Tfhub::Q2Maps]); }
  static QStringList items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }
};
}  // namespace

TEST(MapPages, MoveChosenMapsByButtonsAndByDropping) {
  MapPages m;
  MapPage* p = m.page(Game::Quake1);
  EXPECT_EQ(MapPages::items(p->available), (QStringList{"dm7", "DM8"}));
  EXPECT_EQ(MapPages::items(p->installed), (QStringList{"e1m1", "e1m2"}));
  p->available->selectAll();
  p->addtolist->click();
  EXPECT_EQ(MapPages::items(p->chosen), (QStringList{"dm7", "DM8"}));
  EXPECT_TRUE(MapPages::items(p->available).isEmpty());
  EXPECT_EQ(m.ctx.vars.q1maps.chosen, (std::vector<std::string>{"dm7", "DM8"})) << "the launch installs these";

  p->chosen->item(1)->setSelected(true);
  QMimeData data;
  QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(p->available->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted()) << "the lists take whatever is dragged over them";
  QDropEvent drop(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(p->available->viewport(), &drop);  // dropping onto Available removes
  EXPECT_EQ(MapPages::items(p->available), (QStringList{"DM8"}));
  EXPECT_EQ(MapPages::items(p->chosen), (QStringList{"dm7"}));
}

TEST(MapPages, DescriptionsAndDeletingIntoTheTrash) {
  MapPages m;
  TempDir trash;
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(trash.folder()));
  MapPage* p = m.page(Game::Quake1);
  p->mapsClick(p->available->item(0));
  EXPECT_EQ(p->description->toPlainText(), "Seven.\n");
  p->mapsClick(p->available->item(1));
  EXPECT_EQ(p->description->toPlainText(), "no DM8.txt file in ZIP");

  m.tree.write("quake2/baseq2/maps/q2dm2.bsp", "added since the start");
  p->installed->selectAll();
  p->delimap->click();
  EXPECT_FALSE(m.tree.exists("quake/id1/maps/e1m1.bsp"));
  EXPECT_FALSE(m.tree.exists("quake/id1/maps/e1m2.bsp"));
  EXPECT_TRUE(MapPages::items(p->installed).isEmpty());
  EXPECT_TRUE(trash.exists("Trash/files/e1m1.bsp")) << "a slip of the mouse loses nothing";
  EXPECT_EQ(MapPages::items(m.page(Game::Quake2)->installed), (QStringList{"q2dm1", "q2dm2"}))
      << "the other game's list is shown again too";
  qunsetenv("XDG_DATA_HOME");
}
