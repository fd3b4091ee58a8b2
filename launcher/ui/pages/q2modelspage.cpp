#include "pages/q2modelspage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>

#include "app/storedfield.h"
#include "pages/addonlists.h"
#include "base/files.h"
#include "core/install/modelinstall.h"
#include "core/launch/launch.h"
#include "core/platform/paths.h"
#include "core/platform/trash.h"
#include "work/barhost.h"
#include "work/picturewindow.h"

namespace fdk {

namespace {
constexpr int kTop = 66;
constexpr int kListHeight = 272;
// meshpeek's exit code for a fatal error (-1 on the system it came from).
constexpr int kViewerFailed = 255;
// A viewer's error output is a line or two; more is not read.
constexpr std::uint64_t kMaxViewerOutput = 64 * 1024;

bool isMarker(const std::string& text) { return text == kBackItem || text == kNoneItem; }
}  // namespace

Q2ModelsPage::Q2ModelsPage(LauncherContext& ctx, PageFrame* frame) : AddOnPage(ctx, frame, QStringLiteral("iq2sp")) {
  QWidget* box = frame->box();
  lbq2sm = MakeAddOnList(box, this, QStringLiteral("lbq2sm"), QStringLiteral("Available"), QStringLiteral("lq2moa"),
                         QRect(16, kTop, 160, kListHeight));
  lbq2smc = MakeAddOnList(box, this, QStringLiteral("lbq2smc"), QStringLiteral("Choosen"), QStringLiteral("lq2moc"),
                          QRect(232, kTop, 144, kListHeight));
  lbq2si = MakeAddOnList(box, this, QStringLiteral("lbq2si"), QStringLiteral("Installed"), QStringLiteral("lq2moi"),
                         QRect(392, 258, 240, 110));
  // Installed models are deleted, never dragged or dropped.
  lbq2si->setDragDropMode(QAbstractItemView::NoDragDrop);
  lbq2si->setAcceptDrops(false);
  lbq2si->viewport()->setAcceptDrops(false);
  lbq2si->viewport()->removeEventFilter(this);
  lq2wm = new QLabel(frame->box());
  lq2wm->setObjectName(QStringLiteral("lq2wm"));
  lq2wm->setAccessibleName(QStringLiteral("current model"));
  lq2wm->setGeometry(16, kTop + kListHeight + 4, 160, 18);
  bq2sr = MakeHintButton(box, QStringLiteral("bq2sr"), QStringLiteral(">>"), QStringLiteral("adds a skin"),
                     QRect(182, kTop + 100, 44, 28));
  bq2sl = MakeHintButton(box, QStringLiteral("bq2sl"), QStringLiteral("<<"), QStringLiteral("removes a skin"),
                     QRect(182, kTop + 140, 44, 28));
  bq2skinprev = MakeHintButton(box, QStringLiteral("bq2skinprev"), QStringLiteral("Model Preview"),
                           QStringLiteral("shows the chosen skin on its model in meshpeek"),
                           QRect(16, kTop + kListHeight + 26, 160, 28));
  bq2delskin = MakeHintButton(box, QStringLiteral("bq2delskin"), QStringLiteral("Delete"),
                          QStringLiteral("moves the selected installed models to the trash"),
                          QRect(392, 372, 240, 28));
  preview_->setToolTip(QStringLiteral("click to enlarge"));
  preview_->setAccessibleName(QStringLiteral("model preview picture"));
  preview_->installEventFilter(this);
  connectHandlers();
}

void Q2ModelsPage::connectHandlers() {
  connect(lbq2sm, &QListWidget::itemClicked, this, &Q2ModelsPage::lbq2smClick);
  connect(lbq2si, &QListWidget::itemClicked, this, &Q2ModelsPage::lbq2siClick);
  connect(lbq2smc, &QListWidget::itemClicked, this, &Q2ModelsPage::lbq2smcClick);
  connect(lbq2sm, &QListWidget::itemDoubleClicked, this, &Q2ModelsPage::lbq2smDblClick);
  connect(lbq2si, &QListWidget::itemDoubleClicked, this, &Q2ModelsPage::lbq2siDblClick);
  connect(bq2sr, &QPushButton::clicked, this, &Q2ModelsPage::bq2srClick);
  connect(bq2sl, &QPushButton::clicked, this, &Q2ModelsPage::bq2slClick);
  connect(bq2skinprev, &QPushButton::clicked, this, &Q2ModelsPage::bq2skinprevClick);
  connect(bq2delskin, &QPushButton::clicked, this, &Q2ModelsPage::bq2delskinClick);
}

void Q2ModelsPage::firstActivation() {
  fillAvailable();
  showPlaceholder();
  fillInstalled();
  RefreshChosenList();
}

void Q2ModelsPage::fillAvailable() {
  ShowItems(lbq2sm, AvailablePacks(ctx_.vars.q2));
  availableLevel_ = Level::Models;
}

void Q2ModelsPage::fillInstalled() {
  ShowItems(lbq2si, InstalledModels(ctx_.vars.q2));
  installedLevel_ = Level::Models;
  bq2delskin->setEnabled(true);
  showInstalledShown();
}

// The Quake 2 editor offers the models the Installed list shows at this moment.
void Q2ModelsPage::showInstalledShown() {
  std::vector<std::string> shown;
  for (int i = 0; i < lbq2si->count(); ++i) shown.push_back(StoredText(lbq2si->item(i)));
  ctx_.content.showInstalledModels(std::move(shown));
}

void Q2ModelsPage::showPlaceholder() { preview_->setPixmap(ctx_.placeholder); }

void Q2ModelsPage::showPicture(const PreviewPicture& picture) {
  if (picture.kind == PreviewPicture::Kind::None) return;  // the preview keeps what it shows
  showPreviewFile(picture.path, picture.kind == PreviewPicture::Kind::Convert);
}

// A click at model level: the model's picture beside its pack or folder.
void Q2ModelsPage::modelClick(const std::string& text, const std::string& folder) {
  curq2skin_.clear();
  curq2model_ = text;
  lq2wm->setText(ShowStored(text));
  showPicture(ModelPicture(folder, text));
}


void Q2ModelsPage::lbq2smClick(QListWidgetItem* item) {
  const std::string text = StoredText(item);
  if (isMarker(text)) showPlaceholder();
  if (availableLevel_ == Level::Models) return modelClick(text, ctx_.vars.q2.Skins);
  curq2skin_ = text;
  lastSkinList_ = SkinList::Available;
  q2previewargs_ = AvailablePreviewArgs(ctx_.vars.scratchFolder(), curq2skin_);
  showPackSkin();
}

// The skin's picture comes out of the pack opened at skin level, through a
// private folder, so a file of the same name in the scratch folder is never
// shown in its place or deleted.
void Q2ModelsPage::showPackSkin() {
  const std::string picture = curq2skin_ + ".pcx";
  if (!FindPackEntry(openPackEntries_, picture)) return;
  QTemporaryDir work(QString::fromStdString(ctx_.vars.scratchFolder() + ".skin-XXXXXX"));
  if (!work.isValid()) return;
  const std::string folder = withTrailingSep(work.path().toStdString());
  Result<std::string> copied = ExtractPackFile(openPackEntries_, picture, folder);
  if (!copied) return ctx_.messages.log(QString::fromStdString(copied.error().text));
  showPicture({PreviewPicture::Kind::Convert, *copied});
}

void Q2ModelsPage::lbq2siClick(QListWidgetItem* item) {
  const std::string text = StoredText(item);
  if (isMarker(text)) showPlaceholder();
  const std::string players = PlayersFolder(ctx_.vars.q2);
  if (installedLevel_ == Level::Models) return modelClick(text, players);
  curq2skin_ = text;
  lastSkinList_ = SkinList::Installed;
  q2previewargs_ = InstalledPreviewArgs(players, curq2model_, curq2skin_);
  showPicture(InstalledSkinPicture(players + curq2model_ + "/", curq2skin_));
}

void Q2ModelsPage::lbq2smcClick(QListWidgetItem* item) {
  const std::string text = StoredText(item);
  if (isMarker(text)) showPlaceholder();
  modelClick(text, ctx_.vars.q2.Skins);
}

void Q2ModelsPage::lbq2smDblClick(QListWidgetItem* item) {
  const std::string text = StoredText(item);
  if (availableLevel_ == Level::Skins) {
    if (text != kBackItem) return;
    lq2wm->setText(QString::fromLatin1(kBackItem));
    fillAvailable();
    return showPlaceholder();
  }
  curq2model_ = text;  // the double-clicked pack, also when no click came first
  lq2wm->setText(ShowStored(curq2model_));
  if (text == kNoneItem) return;
  openPack_ = text;
  if (Status listed = openPackEntries_.ListArchive(PackArchivePath(ctx_.vars.q2, curq2model_)); !listed)
    ctx_.messages.warn(QString::fromStdString("The model pack \"" + curq2model_ + "\" cannot be opened: " +
                                              listed.error().text));
  ShowItems(lbq2sm, PackSkins(openPackEntries_));
  availableLevel_ = Level::Skins;
}

void Q2ModelsPage::lbq2siDblClick(QListWidgetItem* item) {
  const std::string text = StoredText(item);
  if (installedLevel_ == Level::Skins) {
    if (text != kBackItem) return;
    lq2wm->setText(QString::fromLatin1(kBackItem));
    fillInstalled();  // back at model level, where "Delete" deletes whole models
    return showPlaceholder();
  }
  curq2model_ = text;
  lq2wm->setText(ShowStored(curq2model_));
  if (text == kNoneItem) return;
  bq2delskin->setEnabled(false);
  ShowItems(lbq2si, InstalledSkins(PlayersFolder(ctx_.vars.q2) + curq2model_ + "/"));
  installedLevel_ = Level::Skins;
  showInstalledShown();
}

void Q2ModelsPage::bq2srClick() {
  if (lbq2sm->count() == 0) return;
  std::vector<std::string> selected = SelectedTexts(lbq2sm);
  if (availableLevel_ == Level::Skins) {
    for (const std::string& text : selected)
      if (text != kBackItem) AppendPair(ctx_.vars.chosenModels, curq2model_, text);
  } else {
    appendWholePacks(selected);
  }
  RefreshChosenList();
}

// Every skin with an icon of each pack, read through a catalogue of its own.
void Q2ModelsPage::appendWholePacks(const std::vector<std::string>& packs) {
  Tzipform catalogue;
  if (Report missing = AppendPackPairs(ctx_.vars.q2, packs, catalogue, ctx_.vars.chosenModels); !missing.empty())
    ctx_.messages.warn(QStringLiteral("Some model packs cannot be read:\n") + QString::fromStdString(missing.text()));
}

void Q2ModelsPage::bq2slClick() {
  if (lbq2smc->count() == 0) return;
  RemovePairs(ctx_.vars.chosenModels, SelectedTexts(lbq2smc));
  RefreshChosenList();
}

void Q2ModelsPage::RefreshChosenList() {
  const std::vector<std::string> chosen = ChosenListItems(ctx_.vars.chosenModels);
  ShowItems(lbq2smc, chosen);
  ctx_.content.showChosenModels(chosen);
}

// A slip of the mouse loses nothing: models go to the desktop's trash where
// there is one. What could not be removed is told once; the others still go.
void Q2ModelsPage::bq2delskinClick() {
  if (installedLevel_ != Level::Models) return;
  const std::string players = PlayersFolder(ctx_.vars.q2);
  Report failed;
  for (const std::string& model : SelectedTexts(lbq2si)) {
    if (!IsPlainFolderName(model)) continue;
    if (MoveToTrash(players + model)) continue;
    if (Status removed = RemoveModelFolder(players, model); !removed) failed.skip(model, removed.error().text);
  }
  fillInstalled();
  if (!failed.empty())
    ctx_.messages.warn(QStringLiteral("Some models could not be deleted:\n") + QString::fromStdString(failed.text()));
}

void Q2ModelsPage::iq2spClick() {
  if (ctx_.ffatpic != nullptr) ctx_.ffatpic->showPicture(preview_->pixmap());
}

void Q2ModelsPage::bq2copymodelsClick() {
  BarInstallHost host(ctx_);
  Tzipform packs;
  Report leftOut = InstallChosenModels(ctx_.vars.q2, ctx_.vars.chosenModels, packs, host).leftOut;
  showPlaceholder();
  if (!leftOut.empty())
    ctx_.messages.warn(QStringLiteral("Some files were not copied into the game:\n") +
                       QString::fromStdString(leftOut.text()));
}

void Q2ModelsPage::bq2skinprevClick() {
  if (availableLevel_ != Level::Skins || curq2skin_.empty() || curq2skin_ == kBackItem) return;
  std::error_code ec;
  const std::string here = std::filesystem::current_path(ec).string();
  const bool fromPack = lastSkinList_ == SkinList::Available;
  Tzipform pack;
  ModelPreviewRun run = PrepareModelPreview(ctx_.vars.programFolder, ctx_.vars.scratchFolder(), openPack_, fromPack, curq2skin_,
                                            q2previewargs_, here, pack, ctx_.vars.q2);
  if (!run.leftOut.empty()) ctx_.messages.log(QString::fromStdString(run.leftOut.text()));
  QTemporaryDir outputFolder;
  const std::string output = outputFolder.isValid() ? outputFolder.filePath(QStringLiteral("output")).toStdString() : "";
  Result<pid_t> started = ctx_.processes.Start(run.commandLine, run.workFolder, {output});
  if (!started.ok()) ctx_.messages.warn(QString::fromStdString("The model preview was not started.\n\n" + started.error().text));
  else waitForViewer(*started, output);
  RemovePreviewCopies(run);
}

// The launcher stays drawn while meshpeek runs, but takes no input: nothing
// else may start meanwhile. The wait has a bound, after which the launcher
// goes on and the viewer keeps running.
void Q2ModelsPage::waitForViewer(pid_t pid, const std::string& output) {
  QWidget* window = frame_->window();
  window->setEnabled(false);
  QElapsedTimer waited;
  waited.start();
  while (!ctx_.processes.ExitCode(pid) && waited.elapsed() < previewWaitLimitMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(100);
  }
  window->setEnabled(true);
  const std::optional<int> code = ctx_.processes.ExitCode(pid);
  if (!code) {
    ctx_.messages.warn(QStringLiteral("MeshPeek is still running; the launcher goes on without waiting for it."));
    return;
  }
  if (*code != kViewerFailed) return;
  Result<std::string> said = readWholeFile(output, kMaxViewerOutput);
  ctx_.messages.warn(QStringLiteral("MeshPeek could not show the model:\n") +
                     QString::fromStdString(said ? *said : std::string()).trimmed());
}

// Dropping anything onto Choosen adds the Available selection; onto Available,
// removes the Choosen selection. The lists never move items themselves.
bool Q2ModelsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == preview_ && event->type() == QEvent::MouseButtonRelease) {
    iq2spClick();
    return true;
  }
  const bool ontoChosen = watched == lbq2smc->viewport();
  if (!ontoChosen && watched != lbq2sm->viewport()) return AddOnPage::eventFilter(watched, event);
  const DragStep step = TakeDrag(event);
  if (step == DragStep::Dropped) ontoChosen ? bq2srClick() : bq2slClick();
  return step != DragStep::None;
}

}  // namespace fdk
