#include "pages/optionswitch.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "core/platform/util.h"

namespace fdk {

namespace {

// A screen reader would otherwise meet a picture called "on" or "off"; it meets
// a check box with the row's name, its checked state, and a toggle it can press.
class SwitchAccess : public QAccessibleWidget {
 public:
  explicit SwitchAccess(OptionSwitch* sw) : QAccessibleWidget(sw, QAccessible::CheckBox) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = sw()->value();
    return state;
  }

  QStringList actionNames() const override { return QStringList{toggleAction()} << QAccessibleWidget::actionNames(); }

  void doAction(const QString& action) override {
    if (action == toggleAction() || action == pressAction()) sw()->click();
    else QAccessibleWidget::doAction(action);
  }

  QStringList keyBindingsForAction(const QString& action) const override {
    if (action == toggleAction()) return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(action);
  }

 private:
  OptionSwitch* sw() const { return static_cast<OptionSwitch*>(widget()); }
};

QAccessibleInterface* switchAccess(const QString&, QObject* object) {
  auto* sw = qobject_cast<OptionSwitch*>(object);
  return sw != nullptr ? new SwitchAccess(sw) : nullptr;
}

void announceChecked(OptionSwitch* sw) {
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(sw, changed);
  QAccessible::updateAccessibility(&event);
}

}  // namespace

OptionSwitch::OptionSwitch(bool* value, const SwitchPictures* pictures, QWidget* parent)
    : QLabel(parent), value_(value), pictures_(pictures) {
  static const bool accessible = (QAccessible::installFactory(switchAccess), true);
  (void)accessible;
  setCursor(Qt::PointingHandCursor);
  // A check box takes focus from Tab and from a click, and Space flips it.
  setFocusPolicy(Qt::StrongFocus);
  setScaledContents(true);
  if (!pictures_->on.isNull()) resize(pictures_->on.size());
  refresh();
}

void OptionSwitch::refresh() {
  const bool on = *value_;
  const QPixmap& picture = on ? pictures_->on : pictures_->off;
  // Without the switch pictures the switch still says what it is.
  if (!picture.isNull()) setPixmap(picture);
  else setText(on ? QStringLiteral("ON") : QStringLiteral("OFF"));
  const bool changed = shown_.has_value() && *shown_ != on;
  shown_ = on;
  if (changed) announceChecked(this);
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

// The picture fills the whole switch, so focus is an outline along its rounded
// edge, in the text colour, which stands out on the orange "on" picture and on the
// dark "off" one; as on a check box, only once the keyboard moved focus.
void OptionSwitch::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange)) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
  const QRectF edge = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
  painter.drawRoundedRect(edge, edge.height() / 2, edge.height() / 2);
}

}  // namespace fdk
