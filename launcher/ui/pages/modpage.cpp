#include "pages/modpage.h"

#include <QMouseEvent>

#include "core/content/mods.h"
#include "core/launch/launch.h"
#include "app/captions.h"
#include "app/storedfield.h"
#include "work/picturewindow.h"

namespace fdk {

ModPage::ModPage(LauncherContext& ctx, PageFrame* frame, Game game)
    : AddOnPage(ctx, frame, game == Game::Quake1 ? QStringLiteral("q1prev") : QStringLiteral("q2prev")),
      game_(game) {
  const QString prefix = game == Game::Quake1 ? QStringLiteral("q1") : QStringLiteral("q2");
  patchlist = new QListWidget(frame->box());
  patchlist->setObjectName(prefix + QStringLiteral("patchlist"));
  GiveHint(patchlist, QStringLiteral("select a MOD"));
  patchlist->setAccessibleName(QStringLiteral("MODs"));
  patchlist->setGeometry(16, 48, 360, 400);
  patchtext = new QPlainTextEdit(frame->box());
  patchtext->setObjectName(prefix + QStringLiteral("patchtext"));
  patchtext->setAccessibleName(QStringLiteral("MOD description"));
  patchtext->setReadOnly(true);
  patchtext->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  patchtext->setGeometry(392, 236, 240, 212);
  preview_->setToolTip(QStringLiteral("click to enlarge"));
  preview_->setAccessibleName(QStringLiteral("MOD preview"));
  preview_->installEventFilter(this);
  connect(patchlist, &QListWidget::itemClicked, this, &ModPage::patchlistClick);
  connect(patchlist, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item != nullptr) patchlistClick(item);  // the keyboard chooses as a click does
  });
}

void ModPage::firstActivation() {
  AddOnPage::firstActivation();
  fillList();
}

void ModPage::fillList() {
  patchlist->clear();
  // Items keep the name's bytes: a name that is not UTF-8 still names its files.
  for (const std::string& name : ModListItems(ctx_.vars.game(game_), game_)) {
    auto* item = new QListWidgetItem(ShowStored(name), patchlist);
    item->setData(Qt::UserRole, QByteArray::fromStdString(name));
  }
}

void ModPage::patchlistClick(QListWidgetItem* item) {
  const std::string name = item->data(Qt::UserRole).toByteArray().toStdString();
  ModChoice choice = ChooseMod(ctx_.vars.game(game_), game_, name);
  (game_ == Game::Quake1 ? ctx_.vars.q1mod : ctx_.vars.q2mod) = choice.mod;
  if (choice.clearDescription) patchtext->clear();
  else if (choice.hasDescription) patchtext->setPlainText(ShowStored(choice.description));
  showPreview(choice.preview);
}

void ModPage::showPreview(const ModPreview& preview) {
  if (preview.kind == ModPreview::Kind::Placeholder) return preview_->setPixmap(ctx_.placeholder);
  showPreviewFile(preview.path, preview.kind == ModPreview::Kind::Convert);
}

void ModPage::prevClick() {
  if (ctx_.ffatpic != nullptr) ctx_.ffatpic->showPicture(preview_->pixmap());
}

bool ModPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == preview_ && event->type() == QEvent::MouseButtonRelease) {
    prevClick();
    return true;
  }
  return AddOnPage::eventFilter(watched, event);
}

}  // namespace fdk
