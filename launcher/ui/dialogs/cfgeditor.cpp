#include "dialogs/cfgeditor.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>

#include "app/captions.h"
#include "app/storedfield.h"
#include "core/content/models.h"
#include "core/platform/paths.h"

namespace fdk {

namespace {
constexpr int kDesignWidth = 420;
constexpr int kDesignHeight = 500;
constexpr int kLeft = 24;  // clear of the picture's corner screws
constexpr int kFieldWidth = kDesignWidth - 2 * kLeft;
constexpr int kLabelHeight = 18;
constexpr int kFieldHeight = 24;

// The memo's text as plain characters: blocks end in paragraph separators in the
// raw text, and the raw text (unlike the plain one) keeps non-breaking spaces.
std::string memoText(const QPlainTextEdit* memo) {
  QString text = memo->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text.toStdString();
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

// Gives an editable chooser new items and keeps the text it shows.
void setChoices(QComboBox* combo, const std::vector<std::string>& names) {
  const QString text = combo->currentText();
  QSignalBlocker quiet(combo);
  combo->clear();
  for (const std::string& name : names) combo->addItem(ShowStored(name));
  combo->setCurrentIndex(-1);
  combo->setEditText(text);
}

QComboBox* editableChooser(const char* name, QLabel* caption) {
  auto* combo = new QComboBox(caption->parentWidget());
  combo->setObjectName(QString::fromLatin1(name));
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);  // typing chooses; it never adds to the list
  NameByCaption(combo, caption);
  return combo;
}
}  // namespace

CfgEditor::CfgEditor(LauncherContext& ctx, Game game, QWidget* parent)
    : QDialog(parent), ctx_(ctx), g_(ctx.vars.game(game)), game_(game) {
  setWindowTitle(QStringLiteral("Quake 2 CFG Editor"));
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  // Closing the editor while the main window is hidden must not end the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  setModal(true);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  resize(kDesignWidth, kDesignHeight);
  back_ = new QLabel(this);
  back_->setObjectName(QStringLiteral("editorback"));
  back_->setScaledContents(true);
  back_->setStyleSheet(QStringLiteral("QLabel { border: 1px solid #806040; }"));
  buildControls();
}

QLabel* CfgEditor::addLabel(const char* text, int x, int y, int width) {
  auto* label = new QLabel(QString::fromLatin1(text), this);
  label->setGeometry(x, y, width, kLabelHeight);
  return label;
}

void CfgEditor::buildControls() {
  QLabel* config = addLabel("Config:", kLeft, 18, kFieldWidth);
  lconfig2 = new QLineEdit(this);
  lconfig2->setObjectName(QStringLiteral("lconfig2"));
  NameByCaption(lconfig2, config);
  lconfig2->setReadOnly(true);
  lconfig2->setGeometry(kLeft, 36, kFieldWidth, kFieldHeight);

  QLabel* file = addLabel("File:", kLeft, 64, kFieldWidth);
  cbfile = new QComboBox(this);
  cbfile->setObjectName(QStringLiteral("cbfile"));
  NameByCaption(cbfile, file);
  cbfile->setGeometry(kLeft, 82, kFieldWidth, kFieldHeight);
  connect(cbfile, &QComboBox::activated, this, &CfgEditor::cbfileClick);

  QLabel* name = addLabel("Name:", kLeft, 110, kFieldWidth);
  ename = new QLineEdit(this);
  ename->setObjectName(QStringLiteral("ename"));
  NameByCaption(ename, name);
  ename->setGeometry(kLeft, 128, kFieldWidth, kFieldHeight);

  contentLabel_ = addLabel("Content:", kLeft, 0, kFieldWidth);
  m = new QPlainTextEdit(this);
  m->setObjectName(QStringLiteral("m"));
  NameByCaption(m, contentLabel_);
  m->setLineWrapMode(QPlainTextEdit::NoWrap);
  m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  placeContent(kModelRow);

  bsave = new QPushButton(QStringLiteral("SAVE"), this);
  bsave->setObjectName(QStringLiteral("bsave"));
  bsave->setGeometry(kDesignWidth - kLeft - 188, kDesignHeight - 52, 90, 28);
  connect(bsave, &QPushButton::clicked, this, &CfgEditor::bsaveClick);
  bdone = new QPushButton(QStringLiteral("DONE"), this);
  bdone->setObjectName(QStringLiteral("bdone"));
  bdone->setGeometry(kDesignWidth - kLeft - 90, kDesignHeight - 52, 90, 28);
  connect(bdone, &QPushButton::clicked, this, &CfgEditor::bdoneClick);
}

void CfgEditor::placeContent(int top) {
  contentLabel_->move(kLeft, top);
  m->setGeometry(kLeft, top + kLabelHeight, kFieldWidth, kDesignHeight - 64 - (top + kLabelHeight));
}

void CfgEditor::showEvent(QShowEvent* event) {
  back_->setPixmap(ctx_.littleBack);
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
  FormActivate();
}

void CfgEditor::resizeEvent(QResizeEvent* event) {
  back_->setGeometry(rect());
  back_->lower();
  QDialog::resizeEvent(event);
}

void CfgEditor::FormActivate() {
  lconfig2->setText(ShowStored(g_.ACFG));
  files_ = ScanConfigSet(ConfigSetFolder(g_));
  cbfile->clear();
  for (const ConfigSetFile& file : files_) cbfile->addItem(ShowStored(file.name));
  // Nothing is loaded until a file is chosen, so SAVE has no file to write yet.
  cbfile->setCurrentIndex(-1);
  loadedPath_.clear();
  bcreatelistClick();
}

void CfgEditor::cbfileClick(int index) {
  if (index < 0 || index >= static_cast<int>(files_.size())) return;
  const ConfigSetFile& file = files_[static_cast<std::size_t>(index)];
  Result<std::string> bytes = ReadConfigFile(file.path);
  if (!bytes) {
    if (!bytes.error().detail.empty()) ctx_.messages.log(QString::fromStdString(bytes.error().detail));
    ctx_.messages.warn(QStringLiteral("\"%1\" cannot be opened:\n%2")
                           .arg(ShowStored(file.name), QString::fromStdString(bytes.error().text)));
    selectLoadedFile();  // the chooser keeps naming the file the memo holds
    return;
  }
  loadedPath_ = file.path;
  showMemo(SplitLines(*bytes));
  dodacheckClick();
  fileLoaded();
}

void CfgEditor::selectLoadedFile() {
  int loaded = -1;
  for (std::size_t i = 0; i < files_.size(); ++i)
    if (files_[i].path == loadedPath_) loaded = static_cast<int>(i);
  cbfile->setCurrentIndex(loaded);
}

std::string CfgEditor::memoLines() const { return FromField(QString::fromStdString(memoText(m)), memoBytes_); }

void CfgEditor::showMemo(const std::vector<std::string>& lines) {
  memoBytes_ = joinLines(lines);
  m->setPlainText(ShowStored(memoBytes_));
}

void CfgEditor::dodacheckClick() {
  std::vector<std::string> lines = SplitLines(memoLines());
  PlayerFields fields = TakePlayerLines(lines, game_);
  showMemo(lines);
  showFields(fields);
}

PlayerFields CfgEditor::fieldsForSave() const { return {FromField(ename->text(), nameBytes_), {}, {}}; }

void CfgEditor::showFields(const PlayerFields& fields) {
  nameBytes_ = fields.name;
  ename->setText(ShowStored(nameBytes_));
}

void CfgEditor::bsaveClick() {
  if (loadedPath_.empty()) {
    ctx_.messages.warn(
        QStringLiteral("Choose a file of the config set first; SAVE writes the file chosen under \"File:\"."));
    return;
  }
  const bool quakeWorld = game_ == Game::Quake1 && g_.QuakeWorld;
  std::vector<std::string> lines = LinesToSave(SplitLines(memoLines()), fieldsForSave(), game_, quakeWorld);
  if (Status saved = SaveConfigFile(loadedPath_, lines); !saved) {
    ctx_.messages.warn(QStringLiteral("The file was not saved; it is as it was before:\n%1")
                           .arg(QString::fromStdString(saved.error().text)));
    return;
  }
  showMemo(lines);
  dodacheckClick();
}

Tfq2cfgedit::Tfq2cfgedit(LauncherContext& ctx, QWidget* parent) : CfgEditor(ctx, Game::Quake2, parent) {
  setObjectName(QStringLiteral("fq2cfgedit"));
  const int half = (kDesignWidth - 2 * kLeft - 8) / 2;
  auto* modelLabel = new QLabel(QStringLiteral("Model:"), this);
  modelLabel->setGeometry(kLeft, kModelRow, half, kLabelHeight);
  auto* skinLabel = new QLabel(QStringLiteral("Skin:"), this);
  skinLabel->setGeometry(kLeft + half + 8, kModelRow, half, kLabelHeight);
  cbmodel = editableChooser("cbmodel", modelLabel);
  cbmodel->setGeometry(kLeft, kModelRow + kLabelHeight, half, kFieldHeight);
  cbskin = editableChooser("cbskin", skinLabel);
  cbskin->setGeometry(kLeft + half + 8, kModelRow + kLabelHeight, half, kFieldHeight);
  connect(cbmodel, &QComboBox::textActivated, this, &Tfq2cfgedit::cbmodelClick);
  placeContent(kModelRow + 46);
}

void Tfq2cfgedit::bcreatelistClick() {
  const std::string players = PlayersFolder(g_);
  Tzipform packs;
  lists = CreateModelChoices(ctx_.content.shownInstalledModels(), ctx_.content.shownChosenModels(), players,
                             withTrailingSep(g_.Skins), packs);
  setChoices(cbmodel, SortedChoices(lists.models));
  refillSkins();
}

void Tfq2cfgedit::cbmodelClick() { refillSkins(); }

void Tfq2cfgedit::refillSkins() {
  if (lists.skins.empty()) return;
  const std::string model = FromField(cbmodel->currentText(), modelBytes_);
  setChoices(cbskin, SortedChoices(SkinsOfModel(lists, model)));
}

PlayerFields Tfq2cfgedit::fieldsForSave() const {
  PlayerFields fields = CfgEditor::fieldsForSave();
  fields.model = FromField(cbmodel->currentText(), modelBytes_);
  fields.skin = FromField(cbskin->currentText(), skinBytes_);
  return fields;
}

void Tfq2cfgedit::showFields(const PlayerFields& fields) {
  CfgEditor::showFields(fields);
  modelBytes_ = fields.model;
  skinBytes_ = fields.skin;
  {
    QSignalBlocker quiet(cbskin);
    cbskin->clear();
  }
  cbmodel->setEditText(ShowStored(modelBytes_));
  cbskin->setEditText(ShowStored(skinBytes_));
}

TfQ1cfgedit::TfQ1cfgedit(LauncherContext& ctx, QWidget* parent) : CfgEditor(ctx, Game::Quake1, parent) {
  setObjectName(QStringLiteral("fq1cfgedit"));
  placeContent(kModelRow);
}

QPushButton* AddEditButton(const char* name, QComboBox* combo) {
  auto* button = new QPushButton(QStringLiteral("edit"), combo->parentWidget());
  button->setObjectName(QString::fromLatin1(name));
  GiveHint(button, QStringLiteral("edit the player in the chosen config set"));
  button->setStyleSheet(QStringLiteral("QPushButton { padding: 0 2px; }"));
  button->setGeometry(combo->x() + combo->width() + 4, combo->y(), kEditWidth, combo->height());
  return button;
}

void OpenConfigEditor(LauncherContext& ctx, Game game, CfgEditor& editor, QWidget* mainWindow) {
  if (ConfigSetFolder(ctx.vars.game(game)).empty()) {
    ctx.messages.warn(QStringLiteral("Choose a config set in the Cfg list first: the editor works on its files."));
    return;
  }
  mainWindow->hide();
  editor.exec();
  mainWindow->show();
}

}  // namespace fdk
