#include "setup.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

#include "core/paths.h"
#include "core/util.h"
#include "pictures.h"

namespace fdk {

namespace {
constexpr int kDesignWidth = 456;
constexpr int kDesignHeight = 473;
constexpr int kRowTop = 16;
constexpr int kRowStep = 26;
const QString kExeFilters = QStringLiteral("*.exe (*.exe);;*.* (*);;Pictures (*.jpg *.bmp)");

QString defaultPickFolder(QWidget* parent, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, title, start);
}

QString defaultPickFile(QWidget* parent, const QString& title, const QString& start, int filter) {
  QStringList filters = kExeFilters.split(QStringLiteral(";;"));
  QString selected = filters.value(filter);
  return QFileDialog::getOpenFileName(parent, title, start, kExeFilters, &selected);
}
}  // namespace

Tfsetup::Tfsetup(LauncherContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("fsetup"));
  setWindowTitle(QStringLiteral("Setup"));
  setModal(true);
  resize(kDesignWidth, kDesignHeight);
  back_ = new QLabel(this);
  back_->setObjectName(QStringLiteral("setupback"));
  back_->setScaledContents(true);

  GameSettings& q1 = ctx.vars.q1;
  GameSettings& q2 = ctx.vars.q2;
  eq1p = addRow(0, "eq1p", "QUAKE 1 Path", "bq1p", bq1p, &q1.Path);
  eq1exe = addRow(1, "eq1exe", "QUAKE 1 EXE", "bq1exe", bq1exe, &q1.EXE);
  ep1p = addRow(2, "ep1p", "QUAKE 1 MODs", "bp1p", bp1p, &q1.Patch);
  em1p = addRow(3, "em1p", "QUAKE 1 Maps", "bm1p", bm1p, &q1.Maps);
  es1p = addRow(4, "es1p", "QUAKE 1 Skins", "bs1p", bs1p, &q1.Skins);
  eq1cfg = addRow(5, "eq1cfg", "QUAKE 1 CFGs", "bbq1cfg", bbq1cfg, &q1.CFG);
  eq2p = addRow(6, "eq2p", "QUAKE 2 Path", "bq2p", bq2p, &q2.Path);
  eq2exe = addRow(7, "eq2exe", "QUAKE 2 EXE", "bq2exe", bq2exe, &q2.EXE);
  ep2p = addRow(8, "ep2p", "QUAKE 2 MODs", "bp2p", bp2p, &q2.Patch);
  em2p = addRow(9, "em2p", "QUAKE 2 Maps", "bm2p", bm2p, &q2.Maps);
  es2p = addRow(10, "es2p", "QUAKE 2 Models", "bs2p", bs2p, &q2.Skins);
  eq2cfg = addRow(11, "eq2cfg", "QUAKE 2 CFGs", "bbq2cfg", bbq2cfg, &q2.CFG);
  efdockback = addRow(12, "efdockback", "Fragdock Background", "Bfdockback", Bfdockback, nullptr);

  pickFolder = [this](const QString& title, const QString& start) { return defaultPickFolder(this, title, start); };
  pickFile = [this](const QString& title, const QString& start, int filter) {
    return defaultPickFile(this, title, start, filter);
  };
  wireFolderPicker(bq1p, &q1.Path, QStringLiteral("QUAKE 1 Path"));
  wireExePicker(bq1exe, q1);
  wireFolderPicker(bp1p, &q1.Patch, QStringLiteral("QUAKE 1 MODs"));
  wireFolderPicker(bm1p, &q1.Maps, QStringLiteral("QUAKE 1 Maps"));
  wireFolderPicker(bs1p, &q1.Skins, QStringLiteral("QUAKE 1 Skins"));
  wireFolderPicker(bbq1cfg, &q1.CFG, QStringLiteral("QUAKE 1 CFGs"));
  wireFolderPicker(bq2p, &q2.Path, QStringLiteral("QUAKE 2 Path"));
  wireExePicker(bq2exe, q2);
  wireFolderPicker(bp2p, &q2.Patch, QStringLiteral("QUAKE 2 MODs"));
  wireFolderPicker(bm2p, &q2.Maps, QStringLiteral("QUAKE 2 Maps"));
  wireFolderPicker(bs2p, &q2.Skins, QStringLiteral("QUAKE 2 Models"));
  wireFolderPicker(bbq2cfg, &q2.CFG, QStringLiteral("QUAKE 2 CFGs"));
  connect(Bfdockback, &QPushButton::clicked, this, &Tfsetup::BfdockbackClick);

  bq1qw = new OptionSwitch(&q1.QuakeWorld, &ctx.switches, this);
  bq1qw->setObjectName(QStringLiteral("bq1qw"));
  bq1qw->setGeometry(162, kRowTop + 13 * kRowStep + 10, 36, 18);
  auto* qwLabel = new QLabel(QStringLiteral(" It's QUAKE World"), this);
  qwLabel->setGeometry(202, kRowTop + 13 * kRowStep + 8, 200, 22);
  connect(bq1qw, &OptionSwitch::clicked, this, &Tfsetup::bq1qwClick);

  buildSizeEdits();
  bdone = new QPushButton(QStringLiteral("I'm done, man!"), this);
  bdone->setObjectName(QStringLiteral("bdone"));
  bdone->setGeometry(kDesignWidth - 164, kDesignHeight - 50, 136, 30);
  connect(bdone, &QPushButton::clicked, this, &QDialog::accept);
}

QLineEdit* Tfsetup::addRow(int row, const QString& editName, const QString& label, const QString& buttonName,
                           QPushButton*& button, std::string* setting) {
  int y = kRowTop + row * kRowStep;
  auto* caption = new QLabel(label, this);
  caption->setObjectName(QStringLiteral("l") + editName);
  caption->setGeometry(16, y, 142, 22);
  auto* edit = new QLineEdit(this);
  edit->setObjectName(editName);
  edit->setGeometry(162, y, 240, 22);
  button = new QPushButton(QStringLiteral("..."), this);
  button->setObjectName(buttonName);
  button->setGeometry(408, y, 34, 22);
  if (setting != nullptr) {
    rows_.push_back({edit, setting});
    // Typed text is stored as typed; the folder invariant is applied at the next save.
    connect(edit, &QLineEdit::textChanged, this, [this, setting](const QString& text) {
      if (!updating_) *setting = text.toStdString();
    });
  }
  return edit;
}

void Tfsetup::infoupdate() {
  updating_ = true;
  for (const FolderRow& row : rows_) row.edit->setText(QString::fromStdString(*row.setting));
  updating_ = false;
}

void Tfsetup::wireFolderPicker(QPushButton* button, std::string* setting, const QString& title) {
  connect(button, &QPushButton::clicked, this, [this, setting, title] {
    QString picked = pickFolder(title, QString::fromStdString(*setting));
    // A cancelled picker keeps the folder: storing "nothing" would point the game at "/".
    if (!picked.isEmpty()) *setting = withTrailingSep(picked.toStdString());
    infoupdate();
  });
}

void Tfsetup::wireExePicker(QPushButton* button, GameSettings& game) {
  connect(button, &QPushButton::clicked, this, [this, &game] {
    QString picked = pickFile(QStringLiteral("Game executable"), QString::fromStdString(game.Path), 0);
    if (!picked.isEmpty() && fileExists(picked.toStdString())) {
      game.EXE = fileNamePart(picked.toStdString());
      game.Path = folderPart(picked.toStdString());
    }
    infoupdate();
  });
}

void Tfsetup::BfdockbackClick() {
  QString picked = pickFile(QStringLiteral("Fragdock Background"), ctx_.folder(), 2);
  if (picked.isEmpty() || !fileExists(picked.toStdString())) {
    infoupdate();
    return;
  }
  std::string base = withoutLastFour(picked.toStdString());
  efdockback->setText(QString::fromStdString(base));
  ctx_.vars.app.fdockback = base;
  QPixmap picture = LoadNamedPicture(BackgroundBase(ctx_.vars));
  if (picture.isNull()) {
    ctx_.fatal(QStringLiteral("NO WAY"));
    return;
  }
  ctx_.background = picture;
  emit backgroundPicked(picture);
  infoupdate();
}

void Tfsetup::bq1qwClick() {
  FlipFlag(ctx_.vars.q1.QuakeWorld);
  bq1qw->refresh();
  emit quakeWorldChanged(ctx_.vars.q1.QuakeWorld);
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
  sexinc->setToolTip(QStringLiteral("extra width"));
  seyinc->setToolTip(QStringLiteral("extra height"));
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
  resize(464 + app.xinc, 473 + app.yinc);
  bdone->move(width() - 164, height() - 50);
  update();
}

void Tfsetup::resizeEvent(QResizeEvent* event) {
  back_->setGeometry(rect());
  QDialog::resizeEvent(event);
}

void Tfsetup::refreshSwitches() { bq1qw->refresh(); }

void Tfsetup::setBackground(const QPixmap& picture) { back_->setPixmap(picture); }

}  // namespace fdk
