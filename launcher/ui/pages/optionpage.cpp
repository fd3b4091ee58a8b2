#include "pages/optionpage.h"

#include <QPushButton>
#include <QSignalBlocker>

#include "core/launch/launch.h"
#include "core/launch/launchoptions.h"
#include "app/storedfield.h"

namespace fdk {

void OptionPage::wireRule(OptionSwitch* sw, std::function<void()> apply) {
  connect(sw, &OptionSwitch::clicked, this, [this, apply = std::move(apply)] {
    apply();
    changed();
  });
}

void OptionPage::wireText(QLineEdit* field, const std::string& stored,
                          std::function<void(const std::string&)> apply) {
  connect(field, &QLineEdit::textChanged, this, [this, &stored, apply = std::move(apply)](const QString& text) {
    apply(FromField(text, stored));
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
  // Items keep the folder's name as bytes: a name that is not UTF-8 is shown readably
  // but must still name the folder.
  const int index = combo->findText(item);
  const QByteArray name = index >= 0 ? combo->itemData(index).toByteArray() : item.toUtf8();
  options::ChooseConfigSet(g_, name.toStdString());
  putBackConfigSet(combo);
  changed();
}

void OptionPage::putBackConfigSet(QComboBox* combo) { putBack(combo, ShowStored(g_.ACFG)); }

void OptionPage::fillConfigSetCombo(QComboBox* combo) {
  QSignalBlocker quiet(combo);
  combo->clear();
  for (const std::string& item : ConfigSetChoices(g_))
    combo->addItem(ShowStored(item), QByteArray::fromStdString(item));
  combo->setEditText(ShowStored(g_.ACFG));
}

void OptionPage::putBack(QComboBox* combo, const QString& text) {
  if (combo->currentText() == text) return;
  QSignalBlocker quiet(combo);
  combo->setEditText(text);
}

}  // namespace fdk
