#pragma once
// Builds the rows of the option pages: a switch with its label, value fields,
// the small raise and lower buttons, and combos, at designed positions. Each
// control is named after its row's label, which is the only caption a row shows.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "pages/optionswitch.h"

namespace fdk {

class OptionRows {
 public:
  OptionRows(QWidget* parent, const SwitchPictures* pictures) : parent_(parent), pictures_(pictures) {}

  // A switch at (x, y) with its label to the right; the label is as wide as labelWidth.
  OptionSwitch* addSwitch(const char* name, const QString& label, bool* value, int x, int y, int labelWidth);
  // A field or combo at (x, y), named by the nearest label to its left on the row at y.
  QLineEdit* addField(const char* name, int x, int y, int width);
  QComboBox* addCombo(const char* name, int x, int y, int width);
  // The raise (upper) and lower (lower) buttons beside a numeric field.
  std::pair<QPushButton*, QPushButton*> addRaiseLower(const char* raise, const char* lower, int x, int y);
  QLabel* addLabel(const char* name, const QString& text, int x, int y, int width);

  // Every switch built here, to show their pictures again after a rule changed several.
  void refreshAll() const;

 private:
  struct PlacedLabel {
    QLabel* label;
    QPoint at;  // where it was placed: a label moved for its looks still belongs to its row
  };

  QWidget* parent_;
  const SwitchPictures* pictures_;
  std::vector<OptionSwitch*> switches_;
  std::vector<PlacedLabel> labels_;

  QLabel* rowLabel(int x, int y) const;
  void nameByRow(QWidget* control, int x, int y) const;
};

// Fields take any length of text: the default limit would cut long stored values.
inline constexpr int kNoLengthLimit = 1 << 30;

// Gives a switch's label the decorative letters of the Use Terminator switch.
void MakeDecorative(OptionSwitch* sw);

// Shows a number in a field without running the field's change rule again.
void ShowNumber(QLineEdit* field, int value);

}  // namespace fdk
