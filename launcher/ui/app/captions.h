#pragma once
// How a control introduces itself: assistive technology and voice control name it
// by the caption the player reads, and its hint is what the mouse pointer shows
// and what a screen reader adds after the name.
#include <QLabel>
#include <QString>
#include <QWidget>

namespace fdk {

// ">>", "<<", "X", "...": a caption that says nothing when read aloud.
bool IsSymbolCaption(const QString& caption);

// A caption as it is read: without its mnemonic marker, blanks or closing colon.
QString PlainCaption(const QString& text);

// The hint becomes the control's tooltip and accessible description. A button
// whose caption is a symbol is named by the hint instead.
void GiveHint(QWidget* control, const QString& hint);

// Names a control that shows no caption of its own after the label beside it, and
// makes the label its buddy, so platforms that name a combo box by its text still
// tell which label it belongs to.
void NameByCaption(QWidget* control, QLabel* caption);

}  // namespace fdk
