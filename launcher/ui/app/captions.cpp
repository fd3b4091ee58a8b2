#include "app/captions.h"

#include <QAbstractButton>
#include <algorithm>

namespace fdk {

bool IsSymbolCaption(const QString& caption) {
  const QString plain = PlainCaption(caption);
  if (plain.size() <= 1) return true;
  return std::none_of(plain.begin(), plain.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

QString PlainCaption(const QString& text) {
  QString plain = text;
  plain.remove(QLatin1Char('&'));
  plain = plain.trimmed();
  if (plain.endsWith(QLatin1Char(':'))) plain.chop(1);
  return plain.trimmed();
}

void GiveHint(QWidget* control, const QString& hint) {
  control->setToolTip(hint);
  control->setAccessibleDescription(hint);
  auto* button = qobject_cast<QAbstractButton*>(control);
  if (button != nullptr && IsSymbolCaption(button->text())) button->setAccessibleName(hint);
}

void NameByCaption(QWidget* control, QLabel* caption) {
  control->setAccessibleName(PlainCaption(caption->text()));
  caption->setBuddy(control);
}

}  // namespace fdk
