#include "pages/optionswitch.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "core/platform/util.h"

namespace fdk {

OptionSwitch::OptionSwitch(bool* value, const SwitchPictures* pictures, QWidget* parent)
    : QLabel(parent), value_(value), pictures_(pictures) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
  setScaledContents(true);
  if (!pictures_->on.isNull()) resize(pictures_->on.size());
  refresh();
}

void OptionSwitch::refresh() {
  const QPixmap& picture = *value_ ? pictures_->on : pictures_->off;
  // Without the switch pictures the switch still says what it is.
  if (!picture.isNull()) setPixmap(picture);
  else setText(*value_ ? QStringLiteral("ON") : QStringLiteral("OFF"));
  setAccessibleName(*value_ ? QStringLiteral("on") : QStringLiteral("off"));
}

void OptionSwitch::setValue(bool on) {
  *value_ = on;
  refresh();
}

void OptionSwitch::useFlipOnClick() {
  connect(this, &OptionSwitch::clicked, this, [this] {
    FlipFlag(*value_);
    refresh();
  });
}

void OptionSwitch::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit clicked();
}

void OptionSwitch::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) emit clicked();
  else QLabel::keyPressEvent(event);
}

}  // namespace fdk
