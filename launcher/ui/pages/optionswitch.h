#pragma once
// An option switch: a picture bound to one boolean setting, "on" or "off". To
// assistive technology it is the check box it stands for, named by its row.
#include <QLabel>
#include <optional>

#include "app/context.h"

namespace fdk {

class OptionSwitch : public QLabel {
  Q_OBJECT
 public:
  // value is the bound setting; it outlives the switch (it lives in the store).
  OptionSwitch(bool* value, const SwitchPictures* pictures, QWidget* parent = nullptr);

  // Shows the picture for the bound value; call after changing the value elsewhere.
  void refresh();
  bool value() const { return *value_; }
  void setValue(bool on);

  // A switch without rules of its own just flips its value.
  void useFlipOnClick();

  // Clicks the switch as the user does (tests, the keyboard and assistive technology use this too).
  void click() { emit clicked(); }

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool* value_;
  const SwitchPictures* pictures_;
  std::optional<bool> shown_;  // the value the picture shows, once one is shown
};

}  // namespace fdk
