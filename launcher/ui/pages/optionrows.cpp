#include "pages/optionrows.h"

#include <QSignalBlocker>

#include "app/captions.h"

namespace fdk {

namespace {
constexpr int kRowHeight = 22;
constexpr int kSwitchWidth = 36;
constexpr int kSwitchHeight = 18;
}  // namespace

OptionSwitch* OptionRows::addSwitch(const char* name, const QString& label, bool* value, int x, int y,
                                    int labelWidth) {
  auto* sw = new OptionSwitch(value, pictures_, parent_);
  sw->setObjectName(QString::fromLatin1(name));
  sw->setGeometry(x, y + (kRowHeight - kSwitchHeight) / 2, kSwitchWidth, kSwitchHeight);
  sw->setToolTip(label.trimmed());
  NameByCaption(sw, addLabel((std::string("l") + name).c_str(), label, x + kSwitchWidth + 2, y, labelWidth));
  switches_.push_back(sw);
  return sw;
}

QLineEdit* OptionRows::addField(const char* name, int x, int y, int width) {
  auto* field = new QLineEdit(parent_);
  field->setObjectName(QString::fromLatin1(name));
  field->setGeometry(x, y, width, kRowHeight);
  field->setMaxLength(kNoLengthLimit);  // a stored value is never cut short by showing it
  nameByRow(field, x, y);
  return field;
}

QComboBox* OptionRows::addCombo(const char* name, int x, int y, int width) {
  auto* combo = new QComboBox(parent_);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setGeometry(x, y, width, kRowHeight);
  nameByRow(combo, x, y);
  return combo;
}

std::pair<QPushButton*, QPushButton*> OptionRows::addRaiseLower(const char* raise, const char* lower, int x, int y) {
  const QLabel* row = rowLabel(x, y);
  const QString of = row != nullptr ? PlainCaption(row->text()) + QStringLiteral(": ") : QString();
  auto make = [&](const char* name, int top, const QString& hint) {
    auto* button = new QPushButton(QStringLiteral("X"), parent_);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("role", "stepper");
    button->setGeometry(x, top, 16, kRowHeight / 2);
    GiveHint(button, hint);
    button->setAccessibleName(of + hint);  // twenty buttons called "one more" would not tell which value
    return button;
  };
  return {make(raise, y, QStringLiteral("one more")), make(lower, y + kRowHeight / 2, QStringLiteral("one less"))};
}

QLabel* OptionRows::addLabel(const char* name, const QString& text, int x, int y, int width) {
  auto* label = new QLabel(text, parent_);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(x, y, width, kRowHeight);
  labels_.push_back({label, QPoint(x, y)});
  return label;
}

QLabel* OptionRows::rowLabel(int x, int y) const {
  const PlacedLabel* nearest = nullptr;
  for (const PlacedLabel& placed : labels_)
    if (placed.at.y() == y && placed.at.x() < x && (nearest == nullptr || placed.at.x() > nearest->at.x()))
      nearest = &placed;
  return nearest != nullptr ? nearest->label : nullptr;
}

void OptionRows::nameByRow(QWidget* control, int x, int y) const {
  if (QLabel* label = rowLabel(x, y)) NameByCaption(control, label);
}

void OptionRows::refreshAll() const {
  for (OptionSwitch* sw : switches_) sw->refresh();
}

void MakeDecorative(OptionSwitch* sw) {
  auto* label = sw->parentWidget()->findChild<QLabel*>(QStringLiteral("l") + sw->objectName());
  if (label == nullptr) return;
  label->setProperty("role", "decorative");
  label->setGeometry(label->x(), label->y() - 3, 176, 28);
}

void ShowNumber(QLineEdit* field, int value) {
  QSignalBlocker quiet(field);
  field->setText(QString::number(value));
}

}  // namespace fdk
