#include "pages/mappage.h"

#include <QDropEvent>
#include <QFile>

#include "app/storedfield.h"
#include "core/content/maps.h"

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
    auto* b = new QPushButton(text, box);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setGeometry(where);
    return b;
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
}

QListWidget* MapPage::makeList(const QString& name, const QString& caption, int x, int width) {
  auto* label = new QLabel(caption, frame_->box());
  label->setObjectName(QStringLiteral("l") + name);
  label->setGeometry(x, kTop - 20, width, 18);
  auto* list = new QListWidget(frame_->box());
  list->setObjectName(name);
  list->setAccessibleName(caption);
  list->setGeometry(x, kTop, width, kListHeight);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setDragEnabled(true);
  list->setAcceptDrops(true);
  list->viewport()->setAcceptDrops(true);
  list->setDragDropMode(QAbstractItemView::DragDrop);
  list->viewport()->installEventFilter(this);
  return list;
}

void MapPage::firstActivation() {
  lists_.available = AvailableMaps(ctx_.vars.game(game_));
  lists_.installed = InstalledMaps(ctx_.vars.game(game_), game_);
  show(available, lists_.available);
  show(chosen, lists_.chosen);
  show(installed, lists_.installed);
}

void MapPage::show(QListWidget* list, const std::vector<std::string>& names) {
  list->clear();
  for (const std::string& name : names) {
    auto* item = new QListWidgetItem(ShowStored(name), list);
    item->setData(Qt::UserRole, QByteArray::fromStdString(name));
  }
}

std::vector<std::size_t> MapPage::selectedRows(QListWidget* list) const {
  std::vector<std::size_t> rows;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) rows.push_back(static_cast<std::size_t>(i));
  return rows;
}

void MapPage::addtolistClick() {
  MoveMaps(lists_.available, lists_.chosen, selectedRows(available));
  show(available, lists_.available);
  show(chosen, lists_.chosen);
}

void MapPage::removefromlistClick() {
  MoveMaps(lists_.chosen, lists_.available, selectedRows(chosen));
  show(available, lists_.available);
  show(chosen, lists_.chosen);
}

void MapPage::mapsClick(QListWidgetItem* item) {
  const std::string name = item->data(Qt::UserRole).toByteArray().toStdString();
  description->setPlainText(
      ShowStored(MapDescription(ctx_.vars.game(game_), name, ctx_.zip, ctx_.vars.programFolder)));
}

// A slip of the mouse loses nothing: the maps go to the desktop's trash where
// there is one, and are deleted only where there is none.
void MapPage::delimapClick() {
  std::vector<std::string> names;
  for (std::size_t row : selectedRows(installed)) names.push_back(lists_.installed[row]);
  for (const std::string& file : InstalledMapFiles(ctx_.vars.game(game_), game_, names)) {
    const QString path = QString::fromStdString(file);
    if (!QFile::moveToTrash(path) && QFile::exists(path) && !QFile::remove(path))
      ctx_.messages.log(QStringLiteral("cannot delete ") + path);
  }
  emit installedChanged();
}

void MapPage::refreshInstalled() {
  lists_.installed = InstalledMaps(ctx_.vars.game(game_), game_);
  show(installed, lists_.installed);
}

// Dropping anything onto the chosen list adds the available selection; onto the
// available list, removes the chosen selection. The lists never move items themselves.
bool MapPage::eventFilter(QObject* watched, QEvent* event) {
  const bool ontoChosen = watched == chosen->viewport();
  const bool ontoAvailable = watched == available->viewport();
  if (!ontoChosen && !ontoAvailable) return AddOnPage::eventFilter(watched, event);
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    static_cast<QDropEvent*>(event)->acceptProposedAction();
    return true;
  }
  if (event->type() != QEvent::Drop) return false;
  static_cast<QDropEvent*>(event)->acceptProposedAction();
  if (ontoChosen) addtolistClick();
  else removefromlistClick();
  return true;
}

}  // namespace fdk
