#include "pages/q1skinspage.h"


#include "pages/addonlists.h"
#include "core/content/skins.h"
#include "core/install/skininstall.h"
#include "work/barhost.h"
#include "work/picturewindow.h"

namespace fdk {

namespace {
constexpr int kTop = 66;
constexpr int kListWidth = 150;
constexpr int kListHeight = 340;

}  // namespace

Q1SkinsPage::Q1SkinsPage(LauncherContext& ctx, PageFrame* frame) : AddOnPage(ctx, frame, QStringLiteral("q1skin")) {
  QWidget* box = frame->box();
  lbq1skins = MakeAddOnList(box, this, QStringLiteral("lbq1skins"), QStringLiteral("Available Skins"),
                            QStringLiteral("llbq1skins"), QRect(16, kTop, kListWidth, kListHeight));
  lbq1skinss = MakeAddOnList(box, this, QStringLiteral("lbq1skinss"), QStringLiteral("Selected Skins"),
                             QStringLiteral("llbq1skinss"), QRect(226, kTop, kListWidth, kListHeight));
  bq1sadd = MakeHintButton(box, QStringLiteral("bq1sadd"), QStringLiteral(">>"), QStringLiteral("adds a skin"),
                           QRect(172, kTop + 120, 48, 28));
  bq1sremove = MakeHintButton(box, QStringLiteral("bq1sremove"), QStringLiteral("<<"),
                              QStringLiteral("removes a skin"), QRect(172, kTop + 160, 48, 28));
  preview_->setToolTip(QStringLiteral("click to enlarge"));
  preview_->setAccessibleName(QStringLiteral("skin preview"));
  preview_->installEventFilter(this);
  connect(bq1sadd, &QPushButton::clicked, this, &Q1SkinsPage::bq1saddClick);
  connect(bq1sremove, &QPushButton::clicked, this, &Q1SkinsPage::bq1sremoveClick);
  connect(lbq1skins, &QListWidget::itemClicked, this, &Q1SkinsPage::lbq1skinsClick);
  connect(&ctx.content, &ContentEvents::quakeWorldChanged, this, &Q1SkinsPage::enableButtons);
}

void Q1SkinsPage::firstActivation() {
  AddOnPage::firstActivation();
  ShowItems(lbq1skins, SkinListItems(ctx_.vars.q1));
  showSelected();
  enableButtons(ctx_.vars.q1.QuakeWorld);
}

void Q1SkinsPage::enableButtons(bool quakeWorld) {
  bq1sadd->setEnabled(quakeWorld);
  bq1sremove->setEnabled(quakeWorld);
}

void Q1SkinsPage::showSelected() {
  ShowItems(lbq1skinss, ctx_.vars.selectedSkins);
}

void Q1SkinsPage::bq1saddClick() {
  for (const std::string& name : SelectedTexts(lbq1skins)) ctx_.vars.selectedSkins.push_back(name);
  showSelected();
}

void Q1SkinsPage::bq1sremoveClick() {
  std::vector<std::string>& selected = ctx_.vars.selectedSkins;
  for (int i = lbq1skinss->count() - 1; i >= 0; --i)
    if (lbq1skinss->item(i)->isSelected() && static_cast<std::size_t>(i) < selected.size())
      selected.erase(selected.begin() + i);
  showSelected();
}

void Q1SkinsPage::lbq1skinsClick(QListWidgetItem* item) {
  if (std::optional<std::string> archive = SkinArchive(ctx_.vars.q1, StoredText(item))) showPicture(*archive);
}

// A skin that cannot be shown shows the placeholder, never the skin shown before.
// Only an archive that lists nothing leaves the preview as it was.
void Q1SkinsPage::showPicture(const std::string& archive) {
  Tzipform skin;
  Result<SkinPreviewCopy> copy = SkinPreviewCopy::Extract(archive, skin, ctx_.vars.scratchFolder());
  if (copy) return showPreviewFile(copy->path(), true);
  ctx_.messages.log(QString::fromStdString(copy.error().text));
  if (!skin.empty()) preview_->setPixmap(ctx_.placeholder);
}

void Q1SkinsPage::q1skinClick() {
  if (ctx_.ffatpic != nullptr) ctx_.ffatpic->showPicture(preview_->pixmap());
}

Report Q1SkinsPage::bq1scClick() {
  BarInstallHost host(ctx_);
  Tzipform catalogue;
  Report report = InstallChosenSkins(ctx_.vars.q1, ctx_.vars.selectedSkins, catalogue, host).leftOut;
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
  if (!ontoSelected && watched != lbq1skins->viewport()) return AddOnPage::eventFilter(watched, event);
  const DragStep step = TakeDrag(event);
  if (step == DragStep::Dropped) ontoSelected ? bq1saddClick() : bq1sremoveClick();
  return step != DragStep::None;
}

}  // namespace fdk
