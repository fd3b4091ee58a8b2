// The Q2 Models page driven as a player would: levels, chosen pairs, drops,
// deleting models and the model preview in meshpeek.
#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QTimer>
#include <QMimeData>
#include <csignal>
#include <filesystem>

#include "core/platform/trash.h"
#include "modelgen/writers.h"
#include "dialogs/cfgeditor.h"
#include "pages/mappage.h"
#include "pages/q2modelspage.h"
#include "testing/archive.h"
#include "testing/gamesettings.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {

using Names = std::vector<std::string>;

Names itemsOf(const QListWidget* list) {
  Names items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->item(i)->text().toStdString());
  return items;
}

std::string pcx(uint8_t colour) {
  modelgen::Palette palette{};
  for (std::size_t i = 0; i < 768; ++i) palette[i] = static_cast<uint8_t>(i / 3);
  const modelgen::ByteVector bytes = modelgen::encodePcx(8, 8, std::vector<uint8_t>(64, colour), palette);
  return std::string(bytes.begin(), bytes.end());
}

struct ModelsRun : Launcher {
  GameTree tree;
  std::string store, players;
  Q2ModelsPage* page = nullptr;

  ModelsRun() {
    store = tree.quake2().skins;
    players = tree.quake2().base + "players/";
    pack("scout", {"red", "blue"});
    pack("brute", {"steel"});
    tree.write("quake2/baseq2/players/male/tris.md2", "installed mesh");
    for (const char* f : {"grunt.pcx", "grunt_i.pcx", "weapon.pcx"})
      tree.write("quake2/baseq2/players/male/" + std::string(f), pcx(9));
    Uvars v = VarsIn(tree, prog.folder());
    // A map archive, which the Q2 Maps page opens for its description.
    std::filesystem::create_directories(v.q2.Maps);
    EXPECT_TRUE(WriteArchive(v.q2.Maps + "arena.zip", {{"arena.txt", "The arena.\r\n"}}).ok());
    // A game to start and a config set to edit.
    std::filesystem::copy_file(FRAGDOCK_STANDIN, v.q2.Path + "quake2");
    v.q2.EXE = "quake2";
    tree.write("cfgs2/duel/config.cfg", "set name \"old\"\r\nbind x \"+attack\"\r\n");
    v.q2.ACFG = "duel";
    EXPECT_TRUE(SaveSettings(v).ok());
  }
  // A pack: the mesh, each skin with its icon, and a weapon skin without one.
  void pack(const std::string& name, const Names& skins) {
    const std::string folder = "baseq2/players/" + name + "/";
    std::vector<ArchiveEntry> entries{{folder + "tris.md2", "mesh of " + name}, {folder + "weapon.pcx", pcx(1)}};
    for (const std::string& skin : skins) {
      entries.push_back({folder + skin + ".pcx", pcx(static_cast<uint8_t>(skin.size() * 20))});
      entries.push_back({folder + skin + "_i.pcx", pcx(2)});
    }
    ASSERT_TRUE(tree.archive("models2/" + name + ".zip", entries).ok());
  }
  bool open() {
    if (!start()) return false;
    page = hub->findChild<Q2ModelsPage*>();
    return page != nullptr;
  }
  QListWidgetItem* item(QListWidget* list, const std::string& text) {
    const QList<QListWidgetItem*> found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
  }
  // A click, as the list sends it: the item becomes the selection.
  void click(QListWidget* list, const std::string& text) {
    QListWidgetItem* it = item(list, text);
    ASSERT_NE(it, nullptr) << text;
    list->clearSelection();
    it->setSelected(true);
    emit list->itemClicked(it);
  }
  void doubleClick(QListWidget* list, const std::string& text) {
    click(list, text);
    emit list->itemDoubleClicked(item(list, text));
  }
  void drop(QListWidget* onto) {
    QMimeData data;
    data.setText(QStringLiteral("anything"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(onto->viewport(), &enter);
    QDropEvent event(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(onto->viewport(), &event);
  }
  // meshpeek in the program folder: a stand-in script, or the real one.
  void viewer(const std::string& script) {
    prog.write("meshpeek/meshpeek", script);
    std::filesystem::permissions(prog.file("meshpeek/meshpeek"), std::filesystem::perms::owner_all);
  }
};

TEST(Q2Models, TheListsOpenToSkinsWithAnIconAndBack) {
  ModelsRun r;
  ASSERT_TRUE(r.open());
  Q2ModelsPage& p = *r.page;
  EXPECT_EQ(itemsOf(p.lbq2sm), (Names{"(none)", "brute", "scout"}));
  EXPECT_EQ(itemsOf(p.lbq2si), (Names{"male"}));
  EXPECT_TRUE(itemsOf(p.lbq2smc).empty());

  r.doubleClick(p.lbq2sm, "(none)");  // nothing to open
  EXPECT_EQ(p.availableLevel(), Q2ModelsPage::Level::Models);
  r.doubleClick(p.lbq2sm, "scout");
  EXPECT_EQ(itemsOf(p.lbq2sm), (Names{"(back)", "blue", "red"}));
  EXPECT_EQ(p.availableLevel(), Q2ModelsPage::Level::Skins);
  EXPECT_EQ(p.lq2wm->text(), QStringLiteral("scout"));

  r.doubleClick(p.lbq2si, "male");
  EXPECT_EQ(itemsOf(p.lbq2si), (Names{"(back)", "grunt"}));
  EXPECT_FALSE(p.bq2delskin->isEnabled()) << "at skin level Delete would take skin names for models";
  EXPECT_EQ(r.ctx.content.shownInstalledModels(), (Names{"(back)", "grunt"}));
  r.doubleClick(p.lbq2si, "grunt");  // only "(back)" leaves the skin level
  EXPECT_EQ(p.installedLevel(), Q2ModelsPage::Level::Skins);
  r.doubleClick(p.lbq2si, "(back)");
  EXPECT_EQ(itemsOf(p.lbq2si), (Names{"male"}));
  EXPECT_TRUE(p.bq2delskin->isEnabled());
  EXPECT_EQ(p.lq2wm->text(), QStringLiteral("(back)"));

  r.doubleClick(p.lbq2sm, "(back)");
  EXPECT_EQ(itemsOf(p.lbq2sm), (Names{"(none)", "brute", "scout"}));
}

TEST(Q2Models, ClicksSetTheModelTheSkinAndTheViewerArguments) {
  ModelsRun r;
  ASSERT_TRUE(r.open());
  Q2ModelsPage& p = *r.page;
  r.doubleClick(p.lbq2sm, "scout");
  r.click(p.lbq2sm, "red");
  EXPECT_EQ(p.curq2skin(), "red");
  EXPECT_EQ(p.q2previewargs(), r.prog.folder() + "tris.md2 " + r.prog.folder() + "red.pcx");
  EXPECT_FALSE(r.prog.exists("red.pcx")) << "the picture is read through a private folder";
  EXPECT_FALSE(r.page->preview()->pixmap().toImage() == r.ctx.placeholder.toImage());

  r.doubleClick(p.lbq2si, "male");
  r.click(p.lbq2si, "grunt");
  EXPECT_EQ(p.curq2model(), "male");
  EXPECT_EQ(p.q2previewargs(), r.players + "male/tris.md2 " + r.players + "male/grunt.pcx");

  r.click(p.lbq2sm, "(back)");
  EXPECT_EQ(p.curq2skin(), "(back)");
  EXPECT_TRUE(p.preview()->pixmap().toImage() == r.ctx.placeholder.toImage());
}

// Each page reads the archives it opened itself: a map description read in
// between leaves the skin previews reading the pack opened for them.
TEST(Q2Models, SkinPreviewsComeFromTheOpenPackWhateverAnotherPageOpenedSince) {
  ModelsRun r;
  ASSERT_TRUE(r.open());
  Q2ModelsPage& p = *r.page;
  r.doubleClick(p.lbq2sm, "scout");
  auto* maps = r.hub->pages[Tfhub::Q2Maps]->findChild<MapPage*>();
  ASSERT_NE(maps, nullptr);
  ASSERT_EQ(maps->available->count(), 1);
  maps->mapsClick(maps->available->item(0));
  EXPECT_EQ(maps->description->toPlainText(), "The arena.\n");
  r.click(p.lbq2sm, "blue");
  EXPECT_EQ(p.preview()->pixmap().toImage().pixelColor(4, 4), QColor(80, 80, 80)) << "blue's colour";
}

TEST(Q2Models, ChosenPairsByButtonsAndDrops) {
  ModelsRun r;
  ASSERT_TRUE(r.open());
  Q2ModelsPage& p = *r.page;
  // Two skins of scout at skin level, then all of brute at model level.
  r.doubleClick(p.lbq2sm, "scout");
  p.lbq2sm->clearSelection();
  for (const char* skin : {"(back)", "red", "blue"}) r.item(p.lbq2sm, skin)->setSelected(true);
  p.bq2sr->click();
  r.doubleClick(p.lbq2sm, "(back)");
  r.click(p.lbq2sm, "brute");
  r.drop(p.lbq2smc);
  EXPECT_EQ(itemsOf(p.lbq2smc), (Names{"brute", "scout"}));
  EXPECT_EQ(r.ctx.vars.chosenModels, (std::vector<ModelSkin>{{"scout", "blue"}, {"scout", "red"}, {"brute", "steel"}}));
  EXPECT_EQ(r.ctx.content.shownChosenModels(), (Names{"brute", "scout"}));

  r.click(p.lbq2smc, "scout");
  p.bq2sl->click();  // both scout pairs go
  EXPECT_EQ(r.ctx.vars.chosenModels, (std::vector<ModelSkin>{{"brute", "steel"}}));
  r.click(p.lbq2smc, "brute");
  r.drop(p.lbq2sm);  // a drop onto Available removes the chosen selection
  EXPECT_TRUE(r.ctx.vars.chosenModels.empty());
  EXPECT_TRUE(itemsOf(p.lbq2smc).empty());
}

TEST(Q2Models, DeleteMovesWholeModelsAwayAndListsTheRest) {
  ModelsRun r;
  r.tree.write("quake2/baseq2/players/female/tris.md2", "f");
  r.tree.write("quake2/baseq2/players/female/sub/extra.pcx", "a sub-folder does not stop the deletion");
  ASSERT_TRUE(r.open());
  Q2ModelsPage& p = *r.page;
  std::vector<Names> told;  // what the editors were told the page shows, each time
  QObject::connect(&r.ctx.content, &ContentEvents::q2ModelsShown,
                   [&] { told.push_back(r.ctx.content.shownInstalledModels()); });
  p.lbq2si->clearSelection();
  r.item(p.lbq2si, "female")->setSelected(true);
  p.bq2delskin->click();
  EXPECT_FALSE(std::filesystem::exists(r.players + "female"));
  EXPECT_TRUE(std::filesystem::exists(TrashFolder() + "files/female/sub/extra.pcx")) << "it can be brought back";
  EXPECT_EQ(itemsOf(p.lbq2si), (Names{"male"}));
  EXPECT_EQ(told, std::vector<Names>{Names{"male"}});
  EXPECT_TRUE(r.warnings.isEmpty());
}

TEST(Q2Models, InstallingTheChosenPacksKeepsWhatIsThere) {
  ModelsRun r;
  r.tree.write("quake2/baseq2/players/scout/red.pcx", "the player's own");
  ASSERT_TRUE(r.open());
  Q2ModelsPage& p = *r.page;
  r.click(p.lbq2sm, "scout");
  p.bq2sr->click();
  p.bq2copymodelsClick();
  EXPECT_EQ(r.tree.read("quake2/baseq2/players/scout/red.pcx"), "the player's own");
  EXPECT_EQ(r.tree.read("quake2/baseq2/players/scout/tris.md2"), "mesh of scout");
  EXPECT_FALSE(r.fbar->isVisible());
  EXPECT_EQ(r.ctx.vars.chosenModels.size(), 2u) << "installing does not clear the chosen pairs";
}

TEST(Q2Models, ModelPreviewStartsTheViewerWaitsAndRemovesTheCopies) {
  ModelsRun r;
  // The stand-in viewer records its arguments and what it found, then takes a moment.
  r.viewer("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; test -f \"$a\" && echo found; done > \"$0.args\"\n"
           "sleep 0.4\necho ended >> \"$0.args\"\n");
  ASSERT_TRUE(r.open());
  Q2ModelsPage& p = *r.page;
  p.bq2skinprev->click();  // model level: nothing
  EXPECT_FALSE(r.prog.exists("meshpeek/meshpeek.args"));
  r.doubleClick(p.lbq2sm, "scout");
  r.click(p.lbq2sm, "(back)");
  p.bq2skinprev->click();  // "(back)" is no skin
  EXPECT_FALSE(r.prog.exists("meshpeek/meshpeek.args"));

  r.click(p.lbq2sm, "red");
  p.bq2skinprev->click();
  // The copies lie in a private folder of the program folder while the viewer runs.
  const std::string said = r.prog.read("meshpeek/meshpeek.args");
  const std::size_t at = said.find("/.modelpreview.");
  ASSERT_NE(at, std::string::npos) << said;
  const std::string copies = said.substr(0, said.find('/', at + 1) + 1);
  EXPECT_EQ(copies.rfind(r.prog.folder(), 0), 0u) << said;
  EXPECT_EQ(said, copies + "tris.md2\nfound\n" + copies + "red.pcx\nfound\nended\n")
      << "the copies existed while the viewer ran, and the launcher waited for its end";
  EXPECT_FALSE(std::filesystem::exists(copies)) << "the copies and their folder are gone";
  EXPECT_TRUE(r.hub->isEnabled());
  EXPECT_TRUE(r.warnings.isEmpty());
}

TEST(Q2Models, AViewerThatFailsIsReportedWithWhatItSaid) {
  ModelsRun r;
  r.viewer("#!/bin/sh\necho 'Unable to read model skin.' >&2\nexit 255\n");
  ASSERT_TRUE(r.open());
  r.doubleClick(r.page->lbq2sm, "scout");  // the preview needs Available at skin level
  r.doubleClick(r.page->lbq2si, "male");
  r.click(r.page->lbq2si, "grunt");  // the installed model's files are shown where they lie
  r.page->bq2skinprev->click();
  ASSERT_EQ(r.warnings.size(), 1);
  EXPECT_TRUE(r.warnings[0].contains(QStringLiteral("Unable to read model skin."))) << r.warnings[0].toStdString();
}

TEST(Q2Models, TheRealViewerShowsThePackAndIsClosed) {
  ModelsRun r;
  ::setenv("SDL_VIDEODRIVER", "dummy", 0);
  std::filesystem::create_directory_symlink(FRAGDOCK_MESHPEEK_DIR, r.prog.path() / "meshpeek");
  // A real model: the demo figure's mesh is not needed, any valid MD2 of the generator is.
  modelgen::Md2Source source;
  source.skinWidth = 8;
  source.skinHeight = 8;
  source.skins = {"players/scout/red.pcx"};
  source.frames = {{"stand1", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}}};
  source.commands = {{false, {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}}}};
  const modelgen::ByteVector md2 = modelgen::encodeMd2(source);
  ASSERT_TRUE(WriteArchive(r.tree.file("models2/scout.zip"),
                           {{"baseq2/players/scout/tris.md2", std::string(md2.begin(), md2.end())},
                            {"baseq2/players/scout/red.pcx", pcx(40)},
                            {"baseq2/players/scout/red_i.pcx", pcx(2)}})
                  .ok());
  ASSERT_TRUE(r.open());
  r.doubleClick(r.page->lbq2sm, "scout");
  r.click(r.page->lbq2sm, "red");
  // Close the viewer a moment after it started, as a player would.
  bool sawViewer = false;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    for (pid_t pid : r.ctx.processes.running()) {
      sawViewer = true;
      ::kill(pid, SIGTERM);
    }
  });
  closer.start(1500);
  r.page->bq2skinprev->click();
  EXPECT_TRUE(sawViewer) << "meshpeek ended before it was closed: " << r.warnings.join("\n").toStdString();
  EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join("\n").toStdString();
  EXPECT_FALSE(r.prog.exists("tris.md2"));
}

TEST(Q2Models, AQuake2LaunchInstallsTheChosenModelsWithTheEditedConfigSet) {
  ModelsRun r;
  ASSERT_TRUE(r.open());
  Q2ModelsPage& p = *r.page;
  r.doubleClick(p.lbq2sm, "scout");
  r.click(p.lbq2sm, "blue");
  p.bq2sr->click();

  // The editor offers the chosen pack's skins; the player picks one and saves.
  bool edited = false;
  QTimer::singleShot(0, [&] {
    Tfq2cfgedit* editor = nullptr;
    if (!WaitFor([&] { return (editor = r.hub->findChild<Tfq2cfgedit*>()) != nullptr && editor->isVisible(); }))
      return;
    const int file = editor->cbfile->findText(QStringLiteral("config.cfg"));
    editor->cbfile->setCurrentIndex(file);
    emit editor->cbfile->activated(file);
    editor->ename->setText(QStringLiteral("Ranger"));
    editor->cbmodel->setCurrentIndex(editor->cbmodel->findText(QStringLiteral("scout")));
    emit editor->cbmodel->textActivated(editor->cbmodel->currentText());
    EXPECT_GE(editor->cbskin->findText(QStringLiteral("blue")), 0);
    editor->cbskin->setEditText(QStringLiteral("blue"));
    editor->bsave->click();
    edited = true;
    editor->bdone->click();
  });
  Find<QPushButton>(r.hub.get(), "bq2editcfg")->click();
  ASSERT_TRUE(edited);

  auto* start = r.hub->pages[Tfhub::Q2Models]->findChild<QPushButton*>(QStringLiteral("bq2go1"));
  ASSERT_NE(start, nullptr);
  start->click();
  const std::string game = r.tree.folder() + "quake2/";
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(game + "standin-launch.txt"); }));
  EXPECT_EQ(r.tree.read("quake2/baseq2/players/scout/tris.md2"), "mesh of scout");
  EXPECT_TRUE(r.tree.exists("quake2/baseq2/players/scout/red.pcx")) << "the whole pack is installed";
  EXPECT_EQ(r.tree.read("quake2/baseq2/config.cfg"), "bind x \"+attack\"\r\nset name \"Ranger\"\r\nset skin \"scout/blue\"\r\n");
  EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join("\n").toStdString();
}

}  // namespace
