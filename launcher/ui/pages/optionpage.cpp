#include "pages/optionpage.h"

#include <QEvent>
#include <QSignalBlocker>

#include "app/captions.h"
#include "app/storedfield.h"
#include "core/archive/catalogue.h"
#include "core/launch/commandpreview.h"
#include "core/launch/launch.h"
#include "core/launch/launchoptions.h"
#include "core/platform/util.h"
#include "dialogs/cfgeditor.h"
#include "pages/mapcombo.h"

namespace fdk {

namespace {
const char* const kByModel = "by Model";
const char* const kBySkin = "by Skin";

bool showsNothing(const QWidget* value) {
  if (auto* field = qobject_cast<const QLineEdit*>(value)) return field->text().isEmpty();
  if (auto* combo = qobject_cast<const QComboBox*>(value)) return combo->currentText().isEmpty();
  return true;
}

// Runs a field rule and shows its text when the rule changed it (which runs the rule once more, harmlessly).
void applyFieldRule(QLineEdit* field, const QString& text, int& value, const options::FieldResult& out) {
  value = out.value;
  if (QString::fromStdString(out.text) != text) field->setText(QString::fromStdString(out.text));
}
}  // namespace

OptionPage::OptionPage(LauncherContext& ctx, Game game, QWidget* box)
    : QObject(box), ctx_(ctx), game_(game), g_(ctx.vars.game(game)), rows_(box, &ctx.switches) {
  box->installEventFilter(this);
}

void OptionPage::changed() {
  rows_.refreshAll();
  showCommandPreview();
}

bool OptionPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show) {
    showCommandPreview();
    if (checks_ != nullptr) checks_->refresh();
  }
  return QObject::eventFilter(watched, event);
}

void OptionPage::firstActivation() {
  loadControls();
  fillConfigSets();
}

void OptionPage::addRows(std::span<const OptionColumn> columns, std::span<const OptionRowDef> rows) {
  for (const OptionRowDef& row : rows) addRow(columns[static_cast<std::size_t>(row.column)], row);
}

void OptionPage::addRow(const OptionColumn& column, const OptionRowDef& row) {
  OptionSwitch* sw = rows_.addSwitch(row.name, QString::fromLatin1(row.caption), &(g_.*row.flag), column.x,
                                     OptionLineY(row.line), column.labelWidth);
  if (row.decorative) MakeDecorative(sw);
  wireSwitch(sw, row, addValue(column, row));
}

QWidget* OptionPage::addValue(const OptionColumn& column, const OptionRowDef& row) {
  const QRect at(row.valueX != 0 ? row.valueX : column.valueX, OptionLineY(row.line),
                 row.valueWidth != 0 ? row.valueWidth : column.valueWidth, 0);
  switch (row.value) {
    case OptionValue::Count:
    case OptionValue::Number: {
      QLineEdit* field = addNumberField(row, at);
      steppers_.push_back({&row, column.stepperX, field});
      return field;
    }
    case OptionValue::Text: return addTextField(row, at);
    case OptionValue::StartMap: return addStartMap(row, at);
    case OptionValue::ConfigSet: return addConfigSet(row, at);
    case OptionValue::TeamMode: return addTeamMode(row, at);
    case OptionValue::None: break;
  }
  return nullptr;
}

void OptionPage::wireSwitch(OptionSwitch* sw, const OptionRowDef& row, QWidget* value) {
  connect(sw, &OptionSwitch::clicked, this, [this, &row, value] {
    applyRule(row, value);
    changed();
  });
}

void OptionPage::applyRule(const OptionRowDef& row, QWidget* value) {
  switch (row.rule) {
    case OptionRule::Flip: FlipFlag(g_.*row.flag); break;
    case OptionRule::Dedicated: options::ClickDedicated(g_, game_); break;
    case OptionRule::Listen: options::ClickListen(g_); break;
    case OptionRule::NoDemos: options::ClickNoDemos(g_); break;
    case OptionRule::Connect: options::ClickConnect(g_); break;
    case OptionRule::Map: options::ClickMap(g_); break;
    case OptionRule::HostName: options::ClickHostName(g_, game_, showsNothing(value)); break;
    case OptionRule::UseCfg: options::ClickUseCfg(g_, game_); break;
  }
}

QLineEdit* OptionPage::addNumberField(const OptionRowDef& row, QRect at) {
  QLineEdit* field = rows_.addField(row.valueName, at.x(), at.y(), at.width());
  int& value = g_.*row.number;
  const bool count = row.value == OptionValue::Count;
  connect(field, &QLineEdit::textChanged, this, [this, field, &value, count](const QString& text) {
    const std::string typed = text.toStdString();
    applyFieldRule(field, text, value, count ? options::CountField(typed, value) : options::NumberField(typed));
    changed();
  });
  loaders_.push_back([field, &value] { ShowNumber(field, value); });
  return field;
}

// A text is shown as stored, without running its rule: an empty CD folder loaded
// with its switch on stays on, and the switches that need a text are turned off
// once every value is shown (TurnOffOptionsWithoutText).
QLineEdit* OptionPage::addTextField(const OptionRowDef& row, QRect at) {
  QLineEdit* field = rows_.addField(row.valueName, at.x(), at.y(), at.width());
  std::string& stored = g_.*row.text;
  connect(field, &QLineEdit::textChanged, this, [this, &row, &stored](const QString& text) {
    const std::string bytes = FromField(text, stored);
    if (row.textRule != nullptr) row.textRule(g_, bytes);
    else stored = bytes;
    changed();
  });
  loaders_.push_back([field, &stored] {
    const QSignalBlocker quiet(field);
    field->setText(ShowStored(stored));
  });
  return field;
}

// The start map is shown through its rule: a map loaded with its switch on turns NoDemos off.
QComboBox* OptionPage::addStartMap(const OptionRowDef& row, QRect at) {
  MapCombo* combo = MapCombo::replacing(rows_.addCombo(row.valueName, at.x(), at.y(), at.width()));
  // A start-map list rebuilt as it drops down (Cbq1mapDropDown, cbq2mapDropDown).
  connect(combo, &MapCombo::droppingDown, this, [this, combo] { FillStartMapCombo(ctx_, game_, combo); });
  // Cbq1mapChange, and the same for cbq2map.
  connect(combo, &QComboBox::editTextChanged, this, [this](const QString& text) {
    options::MapTextChanged(g_, FromField(text, g_.mapb));
    changed();
  });
  loaders_.push_back([this, combo] { combo->setEditText(ShowStored(g_.mapb)); });
  return combo;
}

QComboBox* OptionPage::addConfigSet(const OptionRowDef& row, QRect at) {
  configSets_ = rows_.addCombo(row.valueName, at.x(), at.y(), at.width());
  editButton_ = AddEditButton(row.edit, configSets_);
  connect(configSets_, &QComboBox::textActivated, this, &OptionPage::cfgClick);
  connect(configSets_, &QComboBox::editTextChanged, this, &OptionPage::cfgChange);
  connect(editButton_, &QPushButton::clicked, this, &OptionPage::editcfgClick);
  return configSets_;
}

QComboBox* OptionPage::addTeamMode(const OptionRowDef& row, QRect at) {
  QComboBox* combo = rows_.addCombo(row.valueName, at.x(), at.y(), at.width());
  combo->addItems({QString::fromLatin1(kByModel), QString::fromLatin1(kBySkin)});
  connect(combo, &QComboBox::textActivated, this, [this, combo](const QString& item) { tpz(combo, item); });
  connect(combo, &QComboBox::editTextChanged, this, [this, combo] { tpChange(combo); });
  loaders_.push_back([this, combo] { tpChange(combo); });
  return combo;
}

void OptionPage::addCommandLine(const char* labelName, const char* fieldName, int x, int y) {
  rows_.addLabel(labelName, QStringLiteral("Command Line"), x, y, 110);
  QLineEdit* field = rows_.addField(fieldName, x + 112, y, 500);
  connect(field, &QLineEdit::textChanged, this, [this](const QString& text) {
    g_.CmdLine = FromField(text, g_.CmdLine);
    changed();
  });
  loaders_.push_back([this, field] {
    const QSignalBlocker quiet(field);
    field->setText(ShowStored(g_.CmdLine));
  });
}

void OptionPage::addCommandPreview(int x, int y) {
  rows_.addLabel("lcmdpreview", QStringLiteral("Command line preview"), x, y, 150);
  preview_ = rows_.addField("ecmdpreview", x + 152, y, 460);
  preview_->setReadOnly(true);
  GiveHint(preview_, QStringLiteral("what Start runs, as a shell would run it"));
}

void OptionPage::addPreLaunchChecks(PanelPlace at) {
  checks_ = new PreLaunchPanel(ctx_, game_, rows_, qobject_cast<QWidget*>(parent()), at);
}

// Built by the same functions the start uses, so the two cannot differ.
void OptionPage::showCommandPreview() {
  if (preview_ == nullptr || !preview_->isVisible()) return;
  Tzipform catalogue;
  const QString text = QString::fromStdString(CommandPreview(ctx_.vars, game_, catalogue));
  if (preview_->text() == text) return;
  preview_->setText(text);
  preview_->setCursorPosition(0);
}

void OptionPage::addSteppers() {
  for (const Stepper& stepper : steppers_) addStepper(stepper);
}

void OptionPage::addStepper(const Stepper& stepper) {
  const OptionRowDef& row = *stepper.row;
  auto [up, down] = rows_.addRaiseLower(row.raise, row.lower, stepper.x, OptionLineY(row.line));
  QLineEdit* field = stepper.field;
  int& value = g_.*row.number;
  connect(up, &QPushButton::clicked, this, [this, field, &value] {
    value = options::Raise(value);
    ShowNumber(field, value);
    changed();
  });
  connect(down, &QPushButton::clicked, this, [this, field, &value] {
    value = options::Lower(value);
    ShowNumber(field, value);
    changed();
  });
}

void OptionPage::cfgClick(const QString& item) {
  // Items keep the folder's name as bytes: a name that is not UTF-8 is shown readably
  // but must still name the folder.
  const int index = configSets_->findText(item);
  const QByteArray name = index >= 0 ? configSets_->itemData(index).toByteArray() : item.toUtf8();
  options::ChooseConfigSet(g_, name.toStdString());
  cfgChange(QString());
  changed();
}

void OptionPage::cfgChange(const QString&) { putBack(configSets_, ShowStored(g_.ACFG)); }

void OptionPage::editcfgClick() {
  QWidget* mainWindow = editButton_->window();
  if (editor_ == nullptr) {
    if (game_ == Game::Quake1) editor_ = new TfQ1cfgedit(ctx_, mainWindow);
    else editor_ = new Tfq2cfgedit(ctx_, mainWindow);
  }
  OpenConfigEditor(ctx_, game_, *editor_, mainWindow);
}

void OptionPage::tpz(QComboBox* combo, const QString& item) {
  options::ChooseTeamMode(g_, item == QLatin1String(kByModel));
  tpChange(combo);
  changed();
}

void OptionPage::tpChange(QComboBox* combo) { putBack(combo, QString::fromLatin1(options::TeamModeText(g_))); }

void OptionPage::loadControls() {
  for (const std::function<void()>& show : loaders_) show();
  options::TurnOffOptionsWithoutText(g_);
  changed();
}

void OptionPage::fillConfigSets() {
  if (configSets_ == nullptr) return;
  QSignalBlocker quiet(configSets_);
  configSets_->clear();
  for (const std::string& item : ConfigSetChoices(g_))
    configSets_->addItem(ShowStored(item), QByteArray::fromStdString(item));
  configSets_->setEditText(ShowStored(g_.ACFG));
}

void OptionPage::putBack(QComboBox* combo, const QString& text) {
  if (combo->currentText() == text) return;
  QSignalBlocker quiet(combo);
  combo->setEditText(text);
}

}  // namespace fdk
