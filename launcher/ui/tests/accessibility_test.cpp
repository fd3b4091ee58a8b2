// What assistive technology learns of the windows: each control named by the
// caption a sighted player reads, hints as descriptions, and the option switches
// as check boxes named by their rows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "app/captions.h"
#include "dialogs/cfgeditor.h"
#include "pages/optionswitch.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {

QAccessibleInterface* accessible(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }

QString said(QWidget* w, QAccessible::Text what) {
  QAccessibleInterface* a = accessible(w);
  return a != nullptr ? a->text(what) : QString();
}

bool isCaptionLabel(const QWidget* w) {
  auto* label = qobject_cast<const QLabel*>(w);
  return label != nullptr && qobject_cast<const OptionSwitch*>(w) == nullptr && label->isVisible() &&
         !PlainCaption(label->text()).isEmpty();
}

int middle(const QRect& r) { return r.top() + r.height() / 2; }

bool isField(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) != nullptr || qobject_cast<const QComboBox*>(w) != nullptr ||
         qobject_cast<const QAbstractSpinBox*>(w) != nullptr || qobject_cast<const QPlainTextEdit*>(w) != nullptr ||
         qobject_cast<const QAbstractItemView*>(w) != nullptr;
}

bool isControl(const QWidget* w) {
  return w->isVisible() && (qobject_cast<const QAbstractButton*>(w) != nullptr || isField(w));
}

// True when another control stands on the row between a label on the left and the field.
bool controlBetween(const QWidget* w, const QRect& label) {
  const QRect at = w->geometry();
  for (QObject* o : w->parentWidget()->children()) {
    auto* sibling = qobject_cast<QWidget*>(o);
    if (sibling == nullptr || sibling == w || !isControl(sibling)) continue;
    const QRect s = sibling->geometry();
    if (middle(s) >= at.top() && middle(s) <= at.bottom() && s.left() >= label.right() && s.right() <= at.left())
      return true;
  }
  return false;
}

// The caption a player reads for a field: the nearest label on its row to its
// left (or right, for a switch) with no other control between, else the label
// just above it.
QString captionOf(const QWidget* w, bool toTheRight = false) {
  const QRect at = w->geometry();
  const QLabel* beside = nullptr;
  const QLabel* above = nullptr;
  for (QObject* o : w->parentWidget()->children()) {
    auto* sibling = qobject_cast<QWidget*>(o);
    if (sibling == nullptr || !isCaptionLabel(sibling)) continue;
    auto* label = static_cast<const QLabel*>(sibling);
    const QRect l = label->geometry();
    const bool sameRow = middle(l) >= at.top() && middle(l) <= at.bottom();
    const bool onItsSide = toTheRight ? l.left() >= at.right() : l.left() < at.left() && !controlBetween(w, l);
    if (sameRow && onItsSide && (beside == nullptr || (toTheRight ? l.left() < beside->x() : l.left() > beside->x())))
      beside = label;
    const bool justAbove = at.top() - l.bottom() >= 0 && at.top() - l.bottom() <= 8;
    if (!toTheRight && justAbove && l.left() >= at.left() - 4 && l.left() < at.right()) above = label;
  }
  const QLabel* caption = beside != nullptr ? beside : above;
  return caption != nullptr ? PlainCaption(caption->text()) : QString();
}

bool isPartOfAnother(const QWidget* w) {
  QWidget* parent = w->parentWidget();
  return qobject_cast<QComboBox*>(parent) != nullptr || qobject_cast<QAbstractSpinBox*>(parent) != nullptr ||
         qobject_cast<QAbstractItemView*>(parent) != nullptr || qobject_cast<QPlainTextEdit*>(parent) != nullptr;
}

QString whereIs(const QWidget* w) { return w->window()->objectName() + QLatin1Char('/') + w->objectName(); }

void checkButton(QAbstractButton* b, QStringList& faults) {
  const QString caption = PlainCaption(b->text());
  const QString name = said(b, QAccessible::Name);
  if (caption.isEmpty()) return;
  if (IsSymbolCaption(caption)) {
    if (IsSymbolCaption(name)) faults << whereIs(b) + ": symbol \"" + caption + "\" named \"" + name + "\"";
  } else if (!name.startsWith(caption)) {
    faults << whereIs(b) + ": shows \"" + caption + "\" but is named \"" + name + "\"";
  }
}

// Qt on Linux names a combo box by the text it shows and tells its caption as
// the label it is labelled by, which is how screen readers there announce it.
bool labelledBy(QWidget* w, const QString& caption) {
  for (const auto& [label, relation] : accessible(w)->relations(QAccessible::Label))
    if (PlainCaption(label->text(QAccessible::Name)) == caption) return true;
  return false;
}

void checkField(QWidget* w, QStringList& faults) {
  const QString caption = captionOf(w);
  const QString name = said(w, QAccessible::Name);
  if (caption.isEmpty() || name.contains(caption)) return;
  if (qobject_cast<QComboBox*>(w) == nullptr || !labelledBy(w, caption))
    faults << whereIs(w) + ": captioned \"" + caption + "\" but named \"" + name + "\"";
}

void checkHint(QWidget* w, QStringList& faults) {
  if (w->toolTip().isEmpty()) return;
  if (!said(w, QAccessible::Description).contains(w->toolTip()))
    faults << whereIs(w) + ": hint \"" + w->toolTip() + "\" is not its description";
}

// Every shown control of a window (or of a page of one), checked against its caption and hint.
QStringList namingFaults(QWidget* root) {
  QStringList faults;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!w->isVisible() || isPartOfAnother(w)) continue;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) checkButton(b, faults);
    else if (isField(w)) checkField(w, faults);
    checkHint(w, faults);
  }
  return faults;
}

void sendSpace(QWidget* w) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(w, &press);
  QApplication::sendEvent(w, &release);
}

void sendClick(QWidget* w) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  const QPointF global = w->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QApplication::sendEvent(w, &release);
}

bool saysChecked(OptionSwitch* sw) { return accessible(sw)->state().checked; }

// A switch is a check box named by its row, focusable, whose checked state is its
// value after a click, a Space and the check box's own action alike.
void checkSwitch(OptionSwitch* sw, QStringList& faults) {
  QAccessibleInterface* a = accessible(sw);
  const QString row = captionOf(sw, true);
  if (a->role() != QAccessible::CheckBox) faults << whereIs(sw) + ": not a check box";
  if (a->text(QAccessible::Name) != row)
    faults << whereIs(sw) + ": row \"" + row + "\" but named \"" + a->text(QAccessible::Name) + "\"";
  if (!a->state().checkable || !a->state().focusable) faults << whereIs(sw) + ": not a focusable check box";
  if (saysChecked(sw) != sw->value()) faults << whereIs(sw) + ": checked state differs from its value";
}

std::vector<OptionSwitch*> shownSwitches(QWidget* root) {
  std::vector<OptionSwitch*> out;
  for (OptionSwitch* sw : root->findChildren<OptionSwitch*>())
    if (sw->isVisible()) out.push_back(sw);
  return out;
}

struct Windows : Launcher {
  Windows() { EXPECT_TRUE(start()); }

  // Shows each page of the main window in turn and hands it to look.
  void eachPage(const std::function<void(QWidget*)>& look) {
    for (int i = 0; i < Tfhub::kPageCount; ++i) {
      hub->TabSet->setCurrentIndex(i);
      EXPECT_TRUE(WaitFor([&] { return hub->pages[i]->isVisible(); })) << i;
      look(hub->pages[i]);
    }
  }
};

OptionSwitch* switchNamed(QWidget* root, const char* name) {
  return root->findChild<OptionSwitch*>(QString::fromLatin1(name));
}

}  // namespace

TEST(AccessibleNames, EveryPageOfTheMainWindowNamesItsControlsByTheirCaptions) {
  Windows w;
  int pages = 0;
  w.eachPage([&](QWidget* page) {
    ++pages;
    const QStringList faults = namingFaults(page);
    EXPECT_TRUE(faults.isEmpty()) << page->objectName().toStdString() << ":\n"
                                  << faults.join(QLatin1Char('\n')).toStdString();
  });
  EXPECT_EQ(pages, 9);
}

TEST(AccessibleNames, TheDialogsNameTheirControlsByTheirCaptions) {
  Windows w;
  TfQ1cfgedit q1(w.ctx);
  Tfq2cfgedit q2(w.ctx);
  for (QWidget* dialog : std::initializer_list<QWidget*>{w.setup.get(), &q1, &q2}) {
    dialog->show();
    ASSERT_TRUE(WaitFor([&] { return dialog->isVisible(); }));
    const QStringList faults = namingFaults(dialog);
    EXPECT_TRUE(faults.isEmpty()) << dialog->objectName().toStdString() << ":\n"
                                  << faults.join(QLatin1Char('\n')).toStdString();
    dialog->hide();
  }
}

TEST(AccessibleSwitches, EverySwitchIsACheckBoxNamedByItsRow) {
  Windows w;
  std::size_t seen = 0;
  auto look = [&](QWidget* root) {
    QStringList faults;
    for (OptionSwitch* sw : shownSwitches(root)) {
      ++seen;
      checkSwitch(sw, faults);
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
  };
  w.eachPage(look);
  w.setup->show();
  ASSERT_TRUE(WaitFor([&] { return w.setup->isVisible(); }));
  look(w.setup.get());
  EXPECT_GE(seen, 50u);
}

TEST(AccessibleSwitches, NamesFollowTheRowsLabel) {
  Windows w;
  const struct {
    QWidget* window;
    const char* name;
    const char* row;
  } rows[] = {
      {w.hub.get(), "bq1dm", "DeathMatch"},
      {w.hub.get(), "bq2useterm", "Use Terminator"},
      {w.hub.get(), "bq2NoFallDam", "No Falling Damage"},
      {w.setup.get(), "bq1qw", "It's QUAKE World"},
  };
  for (const auto& row : rows) {
    OptionSwitch* sw = switchNamed(row.window, row.name);
    ASSERT_NE(sw, nullptr) << row.name;
    EXPECT_EQ(said(sw, QAccessible::Name), QString::fromLatin1(row.row)) << row.name;
  }
}

// A click, a Space and the check box's own action each flip a plain switch, and
// the checked state that assistive technology reads follows every flip.
TEST(AccessibleSwitches, CheckedStateFollowsClickSpaceAndAction) {
  Windows w;
  w.hub->TabSet->setCurrentIndex(Tfhub::Q1Stuff);
  OptionSwitch* sw = switchNamed(w.hub.get(), "bq1dm");
  ASSERT_NE(sw, nullptr);
  QAccessibleActionInterface* actions = accessible(sw)->actionInterface();
  ASSERT_NE(actions, nullptr);
  const std::function<void()> flips[] = {
      [&] { sendClick(sw); },
      [&] { sendSpace(sw); },
      [&] { actions->doAction(QAccessibleActionInterface::toggleAction()); },
  };
  for (const auto& flip : flips) {
    const bool before = sw->value();
    EXPECT_EQ(saysChecked(sw), before);
    flip();
    EXPECT_NE(sw->value(), before);
    EXPECT_EQ(saysChecked(sw), sw->value());
  }
}
