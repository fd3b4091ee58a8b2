#include "dialogs/setup.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QSignalBlocker>
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "core/launch/engines.h"
#include "core/platform/paths.h"
#include "core/platform/processes.h"
#include "core/platform/util.h"
#include "pages/optionrows.h"
#include "app/captions.h"
#include "app/pictures.h"
#include "app/storedfield.h"
#include "dialogs/programpicker.h"

namespace fdk {

enum class Picker { Folder, Exe, Background };

// One row of the dialog: its label, edit, "..." button, the setting it edits and what the button picks.
struct SetupRow {
  QLineEdit* Tfsetup::*edit;
  QPushButton* Tfsetup::*button;
  const char* editName;
  const char* label;
  const char* buttonName;
  Game game;
  std::string GameSettings::*setting;  // null for the background, whose edit is not read back
  Picker picker;
};

namespace {
// The engine columns stand to the right of the original 456 pixels.
constexpr int kDesignWidth = 830;
constexpr int kEnginesX = 452;
constexpr int kEnginesWidth = 250;
constexpr int kBaseArgX = 710;
constexpr int kBaseArgWidth = 100;
constexpr int kDesignHeight = 473;
constexpr int kRowTop = 16;
constexpr int kRowStep = 26;
const QString kBackgroundFilters = QStringLiteral("Pictures (*.jpg *.bmp);;*.* (*)");

using T = Tfsetup;
using G = GameSettings;
const SetupRow kRows[] = {
    {&T::eq1p, &T::bq1p, "eq1p", "QUAKE 1 Path", "bq1p", Game::Quake1, &G::Path, Picker::Folder},
    {&T::eq1exe, &T::bq1exe, "eq1exe", "QUAKE 1 EXE", "bq1exe", Game::Quake1, &G::EXE, Picker::Exe},
    {&T::ep1p, &T::bp1p, "ep1p", "QUAKE 1 MODs", "bp1p", Game::Quake1, &G::Patch, Picker::Folder},
    {&T::em1p, &T::bm1p, "em1p", "QUAKE 1 Maps", "bm1p", Game::Quake1, &G::Maps, Picker::Folder},
    {&T::es1p, &T::bs1p, "es1p", "QUAKE 1 Skins", "bs1p", Game::Quake1, &G::Skins, Picker::Folder},
    {&T::eq1cfg, &T::bbq1cfg, "eq1cfg", "QUAKE 1 CFGs", "bbq1cfg", Game::Quake1, &G::CFG, Picker::Folder},
    {&T::eq2p, &T::bq2p, "eq2p", "QUAKE 2 Path", "bq2p", Game::Quake2, &G::Path, Picker::Folder},
    {&T::eq2exe, &T::bq2exe, "eq2exe", "QUAKE 2 EXE", "bq2exe", Game::Quake2, &G::EXE, Picker::Exe},
    {&T::ep2p, &T::bp2p, "ep2p", "QUAKE 2 MODs", "bp2p", Game::Quake2, &G::Patch, Picker::Folder},
    {&T::em2p, &T::bm2p, "em2p", "QUAKE 2 Maps", "bm2p", Game::Quake2, &G::Maps, Picker::Folder},
    {&T::es2p, &T::bs2p, "es2p", "QUAKE 2 Models", "bs2p", Game::Quake2, &G::Skins, Picker::Folder},
    {&T::eq2cfg, &T::bbq2cfg, "eq2cfg", "QUAKE 2 CFGs", "bbq2cfg", Game::Quake2, &G::CFG, Picker::Folder},
    {&T::efdockback, &T::Bfdockback, "efdockback", "Fragdock Background", "Bfdockback", Game::Quake1, nullptr,
     Picker::Background},
};

QString defaultPickFolder(QWidget* parent, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, title, start);
}

QString defaultPickFile(QWidget* parent, const QString& title, const QString& start, Tfsetup::FilePick what) {
  if (what == Tfsetup::FilePick::Program) return PickProgram(parent, title, start);
  return QFileDialog::getOpenFileName(parent, title, start, kBackgroundFilters);
}

// What the base-argument list shows for each value of the setting.
QString baseArgumentItem(const char* value) {
  return *value == '\0' ? QString::fromLatin1(kNoneItem) : QString::fromLatin1(value);
}

const char* gameCaption(Game game) { return game == Game::Quake1 ? "QUAKE 1" : "QUAKE 2"; }
}  // namespace

Tfsetup::Tfsetup(LauncherContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("fsetup"));
  setWindowTitle(QStringLiteral("Setup"));
  setModal(true);
  resize(kDesignWidth, kDesignHeight);
  back_ = new QLabel(this);
  back_->setObjectName(QStringLiteral("setupback"));
  back_->setScaledContents(true);

  pickFolder = [this](const QString& title, const QString& start) { return defaultPickFolder(this, title, start); };
  pickFile = [this](const QString& title, const QString& start, FilePick what) {
    return defaultPickFile(this, title, start, what);
  };
  if (const char* path = std::getenv("PATH")) searchPath = path;
  for (int row = 0; row < static_cast<int>(std::size(kRows)); ++row) buildRow(row, kRows[row]);
  buildEngineRow(Game::Quake1, 1);
  buildEngineRow(Game::Quake2, 7);

  GameSettings& q1 = ctx.vars.q1;

  OptionRows switches(this, &ctx.switches);
  bq1qw = switches.addSwitch("bq1qw", QStringLiteral(" It's QUAKE World"), &q1.QuakeWorld, 162,
                             kRowTop + 13 * kRowStep + 8, 200);
  connect(bq1qw, &OptionSwitch::clicked, this, &Tfsetup::bq1qwClick);

  buildSizeEdits();
  bdone = new QPushButton(QStringLiteral("I'm done, man!"), this);
  bdone->setObjectName(QStringLiteral("bdone"));
  bdone->setGeometry(kDesignWidth - 164, kDesignHeight - 50, 136, 30);
  connect(bdone, &QPushButton::clicked, this, &QDialog::accept);
}

void Tfsetup::buildRow(int row, const SetupRow& def) {
  int y = kRowTop + row * kRowStep;
  auto* caption = new QLabel(QString::fromLatin1(def.label), this);
  caption->setObjectName(QStringLiteral("l") + QString::fromLatin1(def.editName));
  caption->setGeometry(16, y, 142, 22);
  QLineEdit* edit = this->*def.edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(def.editName));
  edit->setGeometry(162, y, 240, 22);
  edit->setMaxLength(kNoLengthLimit);
  NameByCaption(edit, caption);
  QPushButton* button = this->*def.button = new QPushButton(QStringLiteral("..."), this);
  button->setObjectName(QString::fromLatin1(def.buttonName));
  button->setGeometry(408, y, 34, 22);
  GiveHint(button, QStringLiteral("choose ") + caption->text());
  if (def.picker == Picker::Background) {
    connect(button, &QPushButton::clicked, this, &Tfsetup::BfdockbackClick);
    return;
  }
  GameSettings& game = ctx_.vars.game(def.game);
  std::string* setting = &(game.*def.setting);
  rows_.push_back({edit, setting});
  // Typed text is stored as typed; the folder invariant is applied at the next save.
  connect(edit, &QLineEdit::textChanged, this, [this, setting](const QString& text) {
    if (!updating_) *setting = FromField(text, *setting);
  });
  // A typed game folder or program shows in the engine lists once the player leaves the field.
  if (def.setting == &GameSettings::Path || def.picker == Picker::Exe)
    connect(edit, &QLineEdit::editingFinished, this, &Tfsetup::fillEngines);
  if (def.picker == Picker::Exe) wireExePicker(button, def.game);
  else wireFolderPicker(button, setting, QString::fromLatin1(def.label));
}

void Tfsetup::infoupdate() {
  updating_ = true;
  for (const FolderRow& row : rows_) row.edit->setText(ShowStored(*row.setting));
  updating_ = false;
  // A hidden dialog lists the engines when it is shown: nothing to search at start-up.
  if (isVisible()) fillEngines();
}

void Tfsetup::showBackgroundName() { efdockback->setText(ShowStored(ctx_.vars.app.fdockback)); }

void Tfsetup::wireFolderPicker(QPushButton* button, std::string* setting, const QString& title) {
  connect(button, &QPushButton::clicked, this, [this, setting, title] {
    QString picked = pickFolder(title, QString::fromStdString(*setting));
    // A cancelled picker keeps the folder: storing "nothing" would point the game at "/".
    if (!picked.isEmpty()) *setting = withTrailingSep(picked.toStdString());
    infoupdate();
  });
}

void Tfsetup::wireExePicker(QPushButton* button, Game game) {
  connect(button, &QPushButton::clicked, this, [this, game] {
    GameSettings& g = ctx_.vars.game(game);
    QString picked = pickFile(QStringLiteral("Game executable"), QString::fromStdString(g.Path), FilePick::Program);
    if (!picked.isEmpty() && fileExists(picked.toStdString())) ChoosePickedProgram(g, game, picked.toStdString());
    infoupdate();
  });
}

// The engine list stands under its caption on the row above (the game folder's),
// the base argument beside it.
void Tfsetup::buildEngineRow(Game game, int row) {
  const int y = kRowTop + row * kRowStep;
  const QString prefix = QString::fromLatin1(gameCaption(game)) + QLatin1Char(' ');
  auto* enginesCaption = new QLabel(prefix + QStringLiteral("engines"), this);
  enginesCaption->setGeometry(kEnginesX, y - kRowStep, kEnginesWidth, 22);
  auto* baseCaption = new QLabel(QStringLiteral("base argument"), this);
  baseCaption->setGeometry(kBaseArgX, y - kRowStep, kBaseArgWidth, 22);
  const bool q1 = game == Game::Quake1;
  QComboBox* engines = (q1 ? cq1engines : cq2engines) = new QComboBox(this);
  QComboBox* baseArg = (q1 ? cq1basearg : cq2basearg) = new QComboBox(this);
  engines->setObjectName(q1 ? QStringLiteral("cq1engines") : QStringLiteral("cq2engines"));
  baseArg->setObjectName(q1 ? QStringLiteral("cq1basearg") : QStringLiteral("cq2basearg"));
  engines->setGeometry(kEnginesX, y, kEnginesWidth, 22);
  baseArg->setGeometry(kBaseArgX, y, kBaseArgWidth, 22);
  NameByCaption(engines, enginesCaption);
  NameByCaption(baseArg, baseCaption);
  baseArg->setAccessibleName(prefix + baseCaption->text());
  GiveHint(engines, QStringLiteral("the engines found on this computer; choosing one sets the EXE and the base argument"));
  GiveHint(baseArg, QStringLiteral("given with the game folder right after the program: -basedir for Quakespasm, "
                                   "vkQuake, Ironwail and DarkPlaces, -datadir for Yamagi Quake 2"));
  for (const char* value : BaseArgumentChoices()) baseArg->addItem(baseArgumentItem(value), QString::fromLatin1(value));
  connect(engines, &QComboBox::activated, this, [this, game, engines] { engineChosen(game, engines); });
  connect(baseArg, &QComboBox::activated, this, [this, game, baseArg](int index) {
    ctx_.vars.game(game).BaseArg = baseArg->itemData(index).toString().toStdString();
  });
}

void Tfsetup::fillEngines() {
  fillEngineList(Game::Quake1, cq1engines);
  fillEngineList(Game::Quake2, cq2engines);
  showBaseArgument(Game::Quake1, cq1basearg);
  showBaseArgument(Game::Quake2, cq2basearg);
}

// The list shows the program the settings name when it is one of those found.
void Tfsetup::fillEngineList(Game game, QComboBox* engines) {
  const GameSettings& g = ctx_.vars.game(game);
  const QSignalBlocker quiet(engines);
  engines->clear();
  int widest = 0;
  for (const std::string& path : DetectEngines(game, searchPath, g.Path)) {
    engines->addItem(QString::fromStdString(path));
    widest = std::max(widest, engines->fontMetrics().horizontalAdvance(engines->itemText(engines->count() - 1)));
  }
  // The list opens wide enough to show whole paths, which is what tells two engines apart.
  engines->view()->setMinimumWidth(widest + 32);
  engines->setPlaceholderText(engines->count() == 0 ? QStringLiteral("none found") : QStringLiteral("choose one"));
  engines->setCurrentIndex(engines->findText(QString::fromStdString(ResolveProgram(g.EXE, g.Path))));
}

void Tfsetup::engineChosen(Game game, QComboBox* engines) {
  if (engines->currentIndex() < 0) return;
  ChooseDetectedEngine(ctx_.vars.game(game), game, engines->currentText().toStdString());
  infoupdate();
}

// A value the list does not offer (written by hand into the settings file) is
// shown as it stands; the start refuses it and says why.
void Tfsetup::showBaseArgument(Game game, QComboBox* baseArg) {
  const QString stored = QString::fromStdString(ctx_.vars.game(game).BaseArg);
  const QSignalBlocker quiet(baseArg);
  baseArg->setCurrentIndex(baseArg->findData(stored));
  baseArg->setPlaceholderText(stored);
}

void Tfsetup::BfdockbackClick() {
  QString picked = pickFile(QStringLiteral("Fragdock Background"), ctx_.folder(), FilePick::Background);
  if (picked.isEmpty() || !fileExists(picked.toStdString())) {
    infoupdate();
    return;
  }
  std::string base = withoutLastFour(picked.toStdString());
  efdockback->setText(QString::fromStdString(base));
  ctx_.vars.app.fdockback = base;
  QPixmap picture = LoadNamedPicture(BackgroundBase(ctx_.vars));
  if (picture.isNull()) {
    ctx_.messages.fatal(QStringLiteral("NO WAY"));
    return;
  }
  ctx_.background = picture;
  emit backgroundPicked(picture);
  infoupdate();
}

void Tfsetup::bq1qwClick() {
  FlipFlag(ctx_.vars.q1.QuakeWorld);
  bq1qw->refresh();
  emit ctx_.content.quakeWorldChanged(ctx_.vars.q1.QuakeWorld);  // the pages that depend on it follow
}

void Tfsetup::buildSizeEdits() {
  int y = kRowTop + 14 * kRowStep + 10;
  auto* label = new QLabel(QStringLiteral("Window Size"), this);
  label->setGeometry(16, y, 120, 22);
  sexinc = new QSpinBox(this);
  seyinc = new QSpinBox(this);
  sexinc->setObjectName(QStringLiteral("sexinc"));
  seyinc->setObjectName(QStringLiteral("seyinc"));
  // Negative increments are refused by the control itself; the store holds 0..65535.
  for (QSpinBox* spin : {sexinc, seyinc}) spin->setRange(0, 65535);
  sexinc->setGeometry(162, y, 90, 24);
  seyinc->setGeometry(262, y, 90, 24);
  NameByCaption(sexinc, label);
  for (auto [spin, hint] : {std::pair{sexinc, "extra width"}, {seyinc, "extra height"}}) {
    GiveHint(spin, QString::fromLatin1(hint));
    spin->setAccessibleName(label->text() + QStringLiteral(", ") + QString::fromLatin1(hint));
  }
  connect(sexinc, &QSpinBox::valueChanged, this, &Tfsetup::sexincChange);
  connect(seyinc, &QSpinBox::valueChanged, this, &Tfsetup::seyincChange);
}

void Tfsetup::showIncrements() {
  updating_ = true;
  sexinc->setValue(ctx_.vars.app.xinc);
  seyinc->setValue(ctx_.vars.app.yinc);
  updating_ = false;
}

void Tfsetup::sexincChange(int value) {
  if (updating_ || value < 0) return;
  ctx_.vars.app.xinc = value;
  applySizes();
}

void Tfsetup::seyincChange(int value) {
  if (updating_ || value < 0) return;
  ctx_.vars.app.yinc = value;
  applySizes();
}

void Tfsetup::applySizes() {
  const AppSettings& app = ctx_.vars.app;
  emit mainSizeRequested(660 + app.xinc, 500 + app.yinc);
  resize(kDesignWidth + 8 + app.xinc, kDesignHeight + app.yinc);
  bdone->move(width() - 164, height() - 50);
  update();
}

void Tfsetup::showEvent(QShowEvent* event) {
  fillEngines();  // engines installed or removed while the launcher ran
  QDialog::showEvent(event);
}

void Tfsetup::resizeEvent(QResizeEvent* event) {
  back_->setGeometry(rect());
  QDialog::resizeEvent(event);
}

void Tfsetup::refreshSwitches() { bq1qw->refresh(); }

void Tfsetup::setBackground(const QPixmap& picture) { back_->setPixmap(picture); }

}  // namespace fdk
