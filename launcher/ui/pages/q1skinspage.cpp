#include "pages/q1skinspage.h"

#include <QDropEvent>
#include <QLabel>

#include "app/pictures.h"
#include "app/previewconverter.h"
#include "app/storedfield.h"
#include "core/content/skins.h"
#include "core/install/skininstall.h"
#include "work/barhost.h"
#include "work/picturewindow.h"

namespace fdk {

namespace {
constexpr int kTop = 66;
constexpr int kListWidth = 150;
constexpr int kListHeight = 340;

std::string bytesOf(const QListWidgetItem* item) { return item->data(Qt::UserRole).toByteArray().toStdString(); }

// Items keep the name's bytes: a name that is not UTF-8 still names its archive.
void addItem(QListWidget* list, const std::string& name) {
  auto* item = new QListWidgetItem(ShowStored(name), list);
  item->setData(Qt::UserRole, QByteArray::fromStdString(name));
}
}  // namespace

Q1SkinsPage::Q1SkinsPage(LauncherContext& ctx, PageFrame* frame) : AddOnPage(ctx, frame, QStringLiteral("q1skin")) {
  lbq1skins = makeList(QStringLiteral("lbq1skins"), QStringLiteral("Available Skins"), 16);
  lbq1skinss = makeList(QStringLiteral("lbq1skinss"), QStringLiteral("Selected Skins"), 226);
  auto button = [&](const QString& name, const QString& text, const QString& hint, int y) {
    auto* b = new QPushButton(text, frame_->box());
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setGeometry(172, y, 48, 28);
    return b;
  };
  bq1sadd = button(QStringLiteral("bq1sadd"), QStringLiteral(">>"), QStringLiteral("adds a skin"), kTop + 120);
  bq1sremove = button(QStringLiteral("bq1sremove"), QStringLiteral("<<"), QStringLiteral("removes a skin"), kTop + 160);
  preview_->setToolTip(QStringLiteral("click to enlarge"));
  preview_->setAccessibleName(QStringLiteral("skin preview"));
  preview_->installEventFilter(this);
  connect(bq1sadd, &QPushButton::clicked, this, &Q1SkinsPage::bq1saddClick);
  connect(bq1sremove, &QPushButton::clicked, this, &Q1SkinsPage::bq1sremoveClick);
  connect(lbq1skins, &QListWidget::itemClicked, this, &Q1SkinsPage::lbq1skinsClick);
}

QListWidget* Q1SkinsPage::makeList(const QString& name, const QString& caption, int x) {
  auto* label = new QLabel(caption, frame_->box());
  label->setObjectName(QStringLiteral("l") + name);
  label->setGeometry(x, kTop - 20, kListWidth, 18);
  auto* list = new QListWidget(frame_->box());
  list->setObjectName(name);
  list->setAccessibleName(caption);
  list->setGeometry(x, kTop, kListWidth, kListHeight);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setDragEnabled(true);
  list->setAcceptDrops(true);
  list->viewport()->setAcceptDrops(true);
  list->setDragDropMode(QAbstractItemView::DragDrop);
  list->viewport()->installEventFilter(this);
  return list;
}

void Q1SkinsPage::firstActivation() {
  AddOnPage::firstActivation();
  lbq1skins->clear();
  for (const std::string& name : SkinListItems(ctx_.vars.q1)) addItem(lbq1skins, name);
  showSelected();
  enableButtons(ctx_.vars.q1.QuakeWorld);
}

void Q1SkinsPage::enableButtons(bool quakeWorld) {
  bq1sadd->setEnabled(quakeWorld);
  bq1sremove->setEnabled(quakeWorld);
}

void Q1SkinsPage::showSelected() {
  lbq1skinss->clear();
  for (const std::string& name : ctx_.vars.lbq1skinss) addItem(lbq1skinss, name);
}

void Q1SkinsPage::bq1saddClick() {
  for (int i = 0; i < lbq1skins->count(); ++i)
    if (lbq1skins->item(i)->isSelected()) ctx_.vars.lbq1skinss.push_back(bytesOf(lbq1skins->item(i)));
  showSelected();
}

void Q1SkinsPage::bq1sremoveClick() {
  std::vector<std::string>& selected = ctx_.vars.lbq1skinss;
  for (int i = lbq1skinss->count() - 1; i >= 0; --i)
    if (lbq1skinss->item(i)->isSelected() && static_cast<std::size_t>(i) < selected.size())
      selected.erase(selected.begin() + i);
  showSelected();
}

void Q1SkinsPage::lbq1skinsClick(QListWidgetItem* item) {
  if (std::optional<std::string> archive = SkinArchive(ctx_.vars.q1, bytesOf(item))) showPicture(*archive);
}

// A skin that cannot be shown shows the placeholder, never the skin shown before.
// Only an archive that lists nothing leaves the preview as it was.
void Q1SkinsPage::showPicture(const std::string& archive) {
  const std::string& program = ctx_.vars.programFolder;
  Result<SkinPreviewCopy> copy = SkinPreviewCopy::Extract(archive, ctx_.zip, program);
  Result<std::string> converted = copy ? ConvertPreview(copy->path(), program) : Result<std::string>(copy.error());
  if (!converted) ctx_.messages.log(QString::fromStdString(converted.error().text));
  if (!copy && ctx_.zip.empty()) return;
  QPixmap picture = converted ? QPixmap::fromImage(LoadPictureFile(*converted)) : QPixmap();
  preview_->setPixmap(picture.isNull() ? ctx_.placeholder : picture);
}

void Q1SkinsPage::q1skinClick() {
  if (ctx_.ffatpic != nullptr) ctx_.ffatpic->showPicture(preview_->pixmap());
}

Report Q1SkinsPage::bq1scClick() {
  BarInstallHost host(ctx_);
  Report report = InstallChosenSkins(ctx_.vars.q1, ctx_.vars.lbq1skinss, ctx_.zip, host);
  preview_->setPixmap(ctx_.placeholder);
  return report;
}

// Dropping anything onto the Selected list adds the available selection; onto
// the Available list, removes the selected skins. The lists never move items themselves.
bool Q1SkinsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == preview_ && event->type() == QEvent::MouseButtonRelease) {
    q1skinClick();
    return true;
  }
  const bool ontoSelected = watched == lbq1skinss->viewport();
  const bool ontoAvailable = watched == lbq1skins->viewport();
  if (!ontoSelected && !ontoAvailable) return AddOnPage::eventFilter(watched, event);
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    static_cast<QDropEvent*>(event)->acceptProposedAction();
    return true;
  }
  if (event->type() != QEvent::Drop) return false;
  static_cast<QDropEvent*>(event)->acceptProposedAction();
  if (ontoSelected) bq1saddClick();
  else bq1sremoveClick();
  return true;
}

}  // namespace fdk
