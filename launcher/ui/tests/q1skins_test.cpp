// The Q1 Skins page, driven through its lists, buttons, drops and preview as a player would.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <filesystem>

#include "hub/hub.h"
#include "modelgen/writers.h"
#include "pages/q1skinspage.h"
#include "testing/archive.h"
#include "testing/gamesettings.h"
#include "uitest.h"
#include "work/picturewindow.h"

using namespace fdk;
using namespace fdk::test;

namespace {
using Kind = ArchiveEntry::Kind;

// A 32 × 20 skin of one colour.
std::string skin(QColor colour) {
  modelgen::Palette palette{};
  palette[3] = static_cast<uint8_t>(colour.red());
  palette[4] = static_cast<uint8_t>(colour.green());
  palette[5] = static_cast<uint8_t>(colour.blue());
  modelgen::ByteVector bytes = modelgen::encodePcx(32, 20, std::vector<uint8_t>(32 * 20, 1), palette);
  return std::string(bytes.begin(), bytes.end());
}

const QColor kRed(200, 10, 10), kBlue(10, 10, 200), kGreen(10, 200, 10);

struct SkinsPage : Launcher {
  GameTree tree;
  explicit SkinsPage(bool quakeWorld = true) {
    EXPECT_TRUE(tree.archive("skins1/blue.zip", {{"blue.pcx", skin(kBlue)}}).ok());
    EXPECT_TRUE(
        tree.archive("skins1/red.zip",
                     {{"qw/", "", Kind::Folder}, {"qw/skins/", "", Kind::Folder}, {"qw/skins/red.pcx", skin(kRed)}})
            .ok());
    EXPECT_TRUE(tree.archive("skins1/GREEN.ZIP", {{"GREEN.PCX", skin(kGreen)}}).ok());
    Uvars v = VarsIn(tree, prog.folder());
    v.q1.QuakeWorld = quakeWorld;
    tree.write("quake/id1/pak0.pak", "");
    EXPECT_TRUE(SaveSettings(v).ok());
    EXPECT_TRUE(start());
  }
  Q1SkinsPage* page() { return Find<Q1SkinsPage>(hub->pages[Tfhub::Q1Skins]); }
  static QStringList items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }
  void choose(const QString& name) {
    QListWidget* list = page()->lbq1skins;
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text() == name) list->item(i)->setSelected(true);
  }
  void click(const QString& name) {
    choose(name);
    page()->lbq1skinsClick(page()->lbq1skins->selectedItems().at(0));
  }
  QColor previewColour() { return page()->preview()->pixmap().toImage().pixelColor(10, 10); }
  bool showsPlaceholder() { return page()->preview()->pixmap().toImage() == ctx.placeholder.toImage(); }
  void drop(QListWidget* onto) {
    QMimeData data;
    QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(onto->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted()) << "the lists take whatever is dragged over them";
    QDropEvent event(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(onto->viewport(), &event);
  }
};
}  // namespace

TEST(Q1Skins, ListsEveryArchiveAndPreviewsBothShapes) {
  SkinsPage m;
  EXPECT_EQ(SkinsPage::items(m.page()->lbq1skins), (QStringList{"(none)", "blue", "GREEN", "red"}));
  EXPECT_TRUE(m.showsPlaceholder());
  struct Case {
    const char* item;
    QColor colour;
  } cases[] = {{"red", kRed}, {"blue", kBlue}, {"GREEN", kGreen}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    m.click(c.item);
    EXPECT_EQ(m.previewColour(), c.colour);
  }
  m.click("(none)");
  EXPECT_EQ(m.previewColour(), kGreen) << "(none) leaves the preview as it was";
  // Only the converted picture is left in the program folder: no copy of a skin, no work folder.
  for (const auto& entry : std::filesystem::directory_iterator(m.prog.path()))
    EXPECT_NE(entry.path().extension(), ".pcx") << entry.path();
  EXPECT_FALSE(m.prog.exists("red.pcx"));
}

TEST(Q1Skins, APreviewClickFillsTheScreen) {
  SkinsPage m;
  m.click("blue");
  bool shown = false;
  QTimer::singleShot(50, [&] {
    shown = m.ffatpic->isVisible() && m.ffatpic->i->pixmap().toImage().pixelColor(1, 1) == kBlue;
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(m.ffatpic.get(), &click);
  });
  m.page()->q1skinClick();  // returns once the picture window is closed
  EXPECT_TRUE(shown);
}

TEST(Q1Skins, ButtonsFollowTheQuakeWorldSwitchAtOnce) {
  SkinsPage m(false);
  Q1SkinsPage* p = m.page();
  EXPECT_FALSE(p->bq1sadd->isEnabled());
  EXPECT_FALSE(p->bq1sremove->isEnabled());
  m.setup->bq1qw->click();
  EXPECT_TRUE(p->bq1sadd->isEnabled());
  EXPECT_TRUE(p->bq1sremove->isEnabled());
  m.setup->bq1qw->click();
  EXPECT_FALSE(p->bq1sadd->isEnabled());
  EXPECT_EQ(p->bq1sadd->toolTip(), "adds a skin");
  EXPECT_EQ(p->bq1sremove->toolTip(), "removes a skin");
  EXPECT_FALSE(p->bq1sadd->text().isEmpty());
}

TEST(Q1Skins, ASkinAddedTwiceIsListedTwiceAndRemovedOneAtATime) {
  SkinsPage m;
  Q1SkinsPage* p = m.page();
  m.choose("red");
  p->bq1sadd->click();
  m.drop(p->lbq1skinss);  // dropping onto Selected adds as the button does
  EXPECT_EQ(SkinsPage::items(p->lbq1skinss), (QStringList{"red", "red"}));
  EXPECT_EQ(SkinsPage::items(p->lbq1skins).size(), 4) << "the available list keeps them";
  m.choose("GREEN");
  m.page()->lbq1skins->item(1)->setSelected(true);  // blue
  p->bq1sadd->click();
  EXPECT_EQ(SkinsPage::items(p->lbq1skinss), (QStringList{"red", "red", "blue", "GREEN"})) << "in list order";

  p->lbq1skinss->item(1)->setSelected(true);
  p->bq1sremove->click();
  EXPECT_EQ(SkinsPage::items(p->lbq1skinss), (QStringList{"red", "blue", "GREEN"}));
  p->lbq1skinss->item(0)->setSelected(true);
  p->lbq1skinss->item(2)->setSelected(true);
  m.drop(p->lbq1skins);  // dropping onto Available removes
  EXPECT_EQ(SkinsPage::items(p->lbq1skinss), QStringList{"blue"});
  EXPECT_EQ(m.ctx.vars.selectedSkins, std::vector<std::string>{"blue"}) << "the launch installs these";
}

TEST(Q1Skins, InstallingKeepsAnExistingSkinAndShowsThePlaceholderAgain) {
  SkinsPage m;
  m.tree.write("quake/qw/skins/RED.PCX", "the player's own");
  m.ctx.vars.selectedSkins = {"red", "blue", "red"};
  m.click("blue");
  ASSERT_FALSE(m.showsPlaceholder());
  Report report = m.page()->bq1scClick();
  EXPECT_TRUE(report.empty()) << report.text();
  EXPECT_EQ(m.tree.read("quake/qw/skins/RED.PCX"), "the player's own");
  EXPECT_EQ(m.tree.read("quake/qw/skins/blue.pcx"), skin(kBlue));
  EXPECT_FALSE(m.tree.exists("quake/qw/skins/qw"));
  EXPECT_TRUE(m.showsPlaceholder());
  EXPECT_FALSE(m.fbar->isVisible());
  EXPECT_EQ(m.fbar->counters.done(), m.fbar->counters.total());
  EXPECT_EQ(m.fbar->ltbar->text(), "Processing Skins");
}
