#include "pages/mappage.h"


#include "app/storedfield.h"
#include "core/content/maps.h"
#include "core/platform/paths.h"
#include "core/platform/trash.h"
#include "pages/addonlists.h"

namespace fdk {

namespace {
constexpr int kTop = 66;
constexpr int kListHeight = 272;
}  // namespace

MapPage::MapPage(LauncherContext& ctx, PageFrame* frame, Game game)
    : AddOnPage(ctx, frame, QString()), game_(game), lists_(ctx.vars.maps(game)) {
  const bool q1 = game == Game::Quake1;
  QWidget* box = frame->box();
  available = makeList(q1 ? QStringLiteral("lbq1maps") : QStringLiteral("lbq2amaps"),
                       QStringLiteral("Available Maps"), 16, 180);
  chosen = makeList(q1 ? QStringLiteral("lbq1chmaps") : QStringLiteral("lbq2cmaps"), QStringLiteral("Choosen Maps"),
                    252, 170);
  installed = makeList(q1 ? QStringLiteral("lbimaps") : QStringLiteral("lbq2imaps"), QStringLiteral("Installed Maps"),
                       436, 200);
  auto button = [&](const QString& name, const QString& text, const QString& hint, QRect where) {
    return MakeHintButton(box, name, text, hint, where);
  };
  addtolist = button(q1 ? QStringLiteral("bq1addtolist") : QStringLiteral("bq2addtolist"), QStringLiteral(">>"),
                     QStringLiteral("adds a map"), QRect(202, kTop + 100, 44, 28));
  removefromlist = button(q1 ? QStringLiteral("bq1removefromlist") : QStringLiteral("bq2removefromlist"),
                          QStringLiteral("<<"), QStringLiteral("removes a map"), QRect(202, kTop + 140, 44, 28));
  delimap = button(q1 ? QStringLiteral("bdelimap") : QStringLiteral("bq2delimap"), QStringLiteral("Delete Map(s)"),
                   QStringLiteral("moves the selected installed maps to the trash"), QRect(436, kTop + kListHeight + 8, 200, 28));
  description = new QPlainTextEdit(box);
  description->setObjectName(q1 ? QStringLiteral("mq1map") : QStringLiteral("mq2map"));
  description->setAccessibleName(QStringLiteral("map description"));
  description->setReadOnly(true);
  description->setGeometry(16, kTop + kListHeight + 8, 406, 80);
  connect(addtolist, &QPushButton::clicked, this, &MapPage::addtolistClick);
  connect(removefromlist, &QPushButton::clicked, this, &MapPage::removefromlistClick);
  connect(delimap, &QPushButton::clicked, this, &MapPage::delimapClick);
  connect(available, &QListWidget::itemClicked, this, &MapPage::mapsClick);
  // A deletion on either Maps page shows both games' installed maps again.
  connect(&ctx.content, &ContentEvents::mapsInstalledChanged, this, &MapPage::refreshInstalled);
}

QListWidget* MapPage::makeList(const QString& name, const QString& caption, int x, int width) {
  return MakeAddOnList(frame_->box(), this, name, caption, QStringLiteral("l") + name, QRect(x, kTop, width, kListHeight));
}

void MapPage::firstActivation() {
  lists_.available = AvailableMaps(ctx_.vars.game(game_));
  lists_.installed = InstalledMaps(ctx_.vars.game(game_), game_);
  ShowItems(available, lists_.available);
  ShowItems(chosen, lists_.chosen);
  ShowItems(installed, lists_.installed);
}

void MapPage::addtolistClick() {
  MoveMaps(lists_.available, lists_.chosen, SelectedRows(available));
  ShowItems(available, lists_.available);
  ShowItems(chosen, lists_.chosen);
}

void MapPage::removefromlistClick() {
  MoveMaps(lists_.chosen, lists_.available, SelectedRows(chosen));
  ShowItems(available, lists_.available);
  ShowItems(chosen, lists_.chosen);
}

void MapPage::mapsClick(QListWidgetItem* item) {
  const std::string name = StoredText(item);
  Tzipform archive;
  description->setPlainText(
      ShowStored(MapDescription(ctx_.vars.game(game_), name, archive, ctx_.vars.scratchFolder())));
}

// A slip of the mouse loses nothing: the maps go to the desktop's trash where
// there is one, and are deleted only where there is none.
void MapPage::delimapClick() {
  std::vector<std::string> names;
  for (std::size_t row : SelectedRows(installed)) names.push_back(lists_.installed[row]);
  for (const std::string& file : InstalledMapFiles(ctx_.vars.game(game_), game_, names)) {
    if (!MoveToTrash(file) && entryExists(file) && !removeFile(file))
      ctx_.messages.log(QStringLiteral("cannot delete ") + QString::fromStdString(file));
  }
  emit ctx_.content.mapsInstalledChanged();
}

void MapPage::refreshInstalled() {
  lists_.installed = InstalledMaps(ctx_.vars.game(game_), game_);
  ShowItems(installed, lists_.installed);
}

// Dropping anything onto the chosen list adds the available selection; onto the
// available list, removes the chosen selection. The lists never move items themselves.
bool MapPage::eventFilter(QObject* watched, QEvent* event) {
  const bool ontoChosen = watched == chosen->viewport();
  if (!ontoChosen && watched != available->viewport()) return AddOnPage::eventFilter(watched, event);
  const DragStep step = TakeDrag(event);
  if (step == DragStep::Dropped) ontoChosen ? addtolistClick() : removefromlistClick();
  return step != DragStep::None;
}

}  // namespace fdk
