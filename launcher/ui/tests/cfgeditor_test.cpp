// The player editors, opened through the real "edit" buttons of the Stuff pages.
#include <gtest/gtest.h>

#include <QTimer>
#include <functional>

#include "dialogs/cfgeditor.h"
#include "testing/archive.h"
#include "testing/gamesettings.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {

struct Editors : Launcher {
  GameTree tree;
  Editors(const std::string& q2Set, bool quakeWorld = false) {
    tree.write("cfgs2/player/autoexec.cfg", "bind TAB inven\r\n");
    tree.write("cfgs2/player/team/blue.cfg",
               "set name \"Blue Scout\"\r\nset skin \"scout/blue\"\r\nset spectator 0\r\n");
    tree.write("cfgs2/player/bin.cfg", std::string("\x01\0\x02", 3));
    tree.write("cfgs1/qw/config.cfg", "name \"qwplayer\"\r\nteam red\r\n");
    tree.write("quake2/baseq2/players/scout/red.pcx", "s");
    tree.write("quake2/baseq2/players/scout/red_i.pcx", "i");
    tree.write("quake2/baseq2/players/scout/blue.pcx", "s");
    tree.write("quake2/baseq2/players/scout/blue_i.pcx", "i");
    EXPECT_TRUE(tree.archive("models2/pack.zip", {{"players/pack/green_i.pcx", "i"}}).ok());
    Uvars v = VarsIn(tree, prog.folder());
    v.q2.ACFG = q2Set;
    v.q1.ACFG = "qw";
    v.q1.QuakeWorld = quakeWorld;
    EXPECT_TRUE(SaveSettings(v).ok());
    EXPECT_TRUE(start());
    ctx.content.showInstalledModels({"scout"});
    ctx.content.showChosenModels({"pack"});
  }

  // Presses an "edit" button and runs `act` on the editor while it is shown
  // modally; the editor is closed with DONE afterwards, whatever act checked.
  template <class Editor>
  bool whileOpen(QPushButton* edit, Editor* (*editorOf)(Launcher&), const std::function<void(Editor&)>& act) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      if (!WaitFor([&] { return editorOf(*this) != nullptr && editorOf(*this)->isVisible(); })) return;
      Editor& editor = *editorOf(*this);
      EXPECT_FALSE(hub->isVisible()) << "the main window hides while the editor is open";
      act(editor);
      ran = true;
      editor.bdone->click();
    });
    edit->click();
    return ran;
  }

  static void choose(CfgEditor& editor, const QString& file) {
    const int index = editor.cbfile->findText(file);
    ASSERT_GE(index, 0) << file.toStdString();
    editor.cbfile->setCurrentIndex(index);
    emit editor.cbfile->activated(index);
  }
};

// The editors are made on the first "edit" and belong to the main window.
Tfq2cfgedit* q2Editor(Launcher& l) { return l.hub->findChild<Tfq2cfgedit*>(); }
TfQ1cfgedit* q1Editor(Launcher& l) { return l.hub->findChild<TfQ1cfgedit*>(); }
QPushButton* editButton(Launcher& l, const char* name) { return Find<QPushButton>(l.hub.get(), name); }

QStringList items(const QComboBox* combo) {
  QStringList list;
  for (int i = 0; i < combo->count(); ++i) list << combo->itemText(i);
  return list;
}

}  // namespace

TEST(ConfigEditors, Quake2EditorSavesTheChosenFileWhereItLies) {
  Editors e("player");
  const bool ran = e.whileOpen<Tfq2cfgedit>(editButton(e, "bq2editcfg"), q2Editor, [&](Tfq2cfgedit& ed) {
    EXPECT_EQ(ed.windowTitle(), "Quake 2 CFG Editor");
    EXPECT_EQ(ed.lconfig2->text(), "player");
    EXPECT_EQ(items(ed.cbfile), (QStringList{"autoexec.cfg", "bin.cfg", "blue.cfg"}));
    EXPECT_EQ(items(ed.cbmodel), (QStringList{"pack", "scout"}));
    Editors::choose(ed, "blue.cfg");
    EXPECT_EQ(ed.ename->text(), "BlueScout");
    EXPECT_EQ(ed.cbmodel->currentText(), "scout");
    EXPECT_EQ(ed.cbskin->currentText(), "blue");
    EXPECT_EQ(items(ed.cbskin), (QStringList{"blue", "red"}));
    EXPECT_EQ(ed.m->toPlainText(), "set spectator 0");

    ed.ename->setText("Navy");
    ed.cbskin->setEditText("red");
    ed.bsave->click();
    EXPECT_EQ(e.tree.read("cfgs2/player/team/blue.cfg"),
              "set spectator 0\r\nset name \"Navy\"\r\nset skin \"scout/red\"\r\n");
    EXPECT_FALSE(e.tree.exists("cfgs2/player/blue.cfg"));
    EXPECT_EQ(ed.m->toPlainText(), "set spectator 0") << "the saved lines go back into the fields";
    EXPECT_EQ(ed.ename->text(), "Navy");
  });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(e.hub->isVisible()) << "the main window comes back";
  EXPECT_TRUE(e.warnings.isEmpty()) << e.warnings.join('\n').toStdString();
}

TEST(ConfigEditors, NoSetNoFileOrAnUnreadableFileGiveAMessageAndChangeNothing) {
  Editors none("");
  editButton(none, "bq2editcfg")->click();
  // An editor shown here would block this click until it closed.
  EXPECT_EQ(none.warnings.size(), 1) << "nothing to edit without a set";
  EXPECT_TRUE(none.hub->isVisible());

  Editors e("player");
  const bool ran = e.whileOpen<Tfq2cfgedit>(editButton(e, "bq2editcfg"), q2Editor, [&](Tfq2cfgedit& ed) {
    ed.bsave->click();
    EXPECT_EQ(e.warnings.size(), 1) << "SAVE before a file is chosen";
    Editors::choose(ed, "autoexec.cfg");
    ed.ename->setText("typed");
    Editors::choose(ed, "bin.cfg");
    EXPECT_EQ(e.warnings.size(), 2);
    EXPECT_EQ(ed.cbfile->currentText(), "autoexec.cfg") << "the chooser still names the file the memo holds";
    EXPECT_EQ(ed.m->toPlainText(), "bind TAB inven");
    EXPECT_EQ(ed.ename->text(), "typed");
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(e.tree.read("cfgs2/player/autoexec.cfg"), "bind TAB inven\r\n");
}

TEST(ConfigEditors, QuakeWorldNameIsSavedAgainInsteadOfPilingUp) {
  Editors e("player", true);
  const bool ran = e.whileOpen<TfQ1cfgedit>(editButton(e, "q1editcfg"), q1Editor, [&](TfQ1cfgedit& ed) {
    Editors::choose(ed, "config.cfg");
    EXPECT_EQ(ed.ename->text(), "qwplayer");
    ed.bsave->click();
    ed.bsave->click();
    EXPECT_EQ(ed.ename->text(), "qwplayer");
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(e.tree.read("cfgs1/qw/config.cfg"), "team red\r\nname \"qwplayer\"\r\n");
}
