#include "optionpage.h"

#include <QPushButton>
#include <QSignalBlocker>

#include "core/launch.h"
#include "core/launchoptions.h"

namespace fdk {

void OptionPage::wireRule(OptionSwitch* sw, std::function<void()> apply) {
  connect(sw, &OptionSwitch::clicked, this, [this, apply = std::move(apply)] {
    apply();
    changed();
  });
}

void OptionPage::wireText(QLineEdit* field, std::function<void(const std::string&)> apply) {
  connect(field, &QLineEdit::textChanged, this, [this, apply = std::move(apply)](const QString& text) {
    apply(text.toStdString());
    changed();
  });
}

namespace {
// Runs a field rule and shows its text when the rule changed it (which runs the rule once more, harmlessly).
void applyFieldRule(QLineEdit* field, const QString& text, int& value, const options::FieldResult& out) {
  value = out.value;
  if (QString::fromStdString(out.text) != text) field->setText(QString::fromStdString(out.text));
}
}  // namespace

void OptionPage::wireCountField(QLineEdit* field, int& value) {
  connect(field, &QLineEdit::textChanged, this, [field, &value](const QString& text) {
    applyFieldRule(field, text, value, options::CountField(text.toStdString(), value));
  });
}

void OptionPage::wireNumberField(QLineEdit* field, int& value) {
  connect(field, &QLineEdit::textChanged, this, [field, &value](const QString& text) {
    applyFieldRule(field, text, value, options::NumberField(text.toStdString()));
  });
}

void OptionPage::addStepper(const char* raise, const char* lower, QLineEdit* field, int& value, int x, int y) {
  auto [up, down] = rows_.addRaiseLower(raise, lower, x, y);
  connect(up, &QPushButton::clicked, this, [field, &value] {
    value = options::Raise(value);
    ShowNumber(field, value);
  });
  connect(down, &QPushButton::clicked, this, [field, &value] {
    value = options::Lower(value);
    ShowNumber(field, value);
  });
}

void OptionPage::chooseConfigSet(QComboBox* combo, const QString& item) {
  options::ChooseConfigSet(g_, item.toStdString());
  putBackConfigSet(combo);
  changed();
}

void OptionPage::putBackConfigSet(QComboBox* combo) { putBack(combo, QString::fromStdString(g_.ACFG)); }

void OptionPage::fillConfigSetCombo(QComboBox* combo) {
  QSignalBlocker quiet(combo);
  combo->clear();
  for (const std::string& item : ConfigSetChoices(g_)) combo->addItem(QString::fromStdString(item));
  combo->setEditText(QString::fromStdString(g_.ACFG));
}

void OptionPage::putBack(QComboBox* combo, const QString& text) {
  if (combo->currentText() == text) return;
  QSignalBlocker quiet(combo);
  combo->setEditText(text);
}

}  // namespace fdk
