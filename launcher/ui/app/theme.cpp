#include "app/theme.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace fdk {

void ApplyTheme(QApplication& app) {
  app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette pal;
  pal.setColor(QPalette::Window, QColor(24, 24, 28));
  pal.setColor(QPalette::WindowText, QColor(232, 228, 220));
  pal.setColor(QPalette::Base, QColor(16, 16, 18));
  pal.setColor(QPalette::AlternateBase, QColor(34, 34, 40));
  pal.setColor(QPalette::Text, QColor(235, 232, 225));
  pal.setColor(QPalette::Button, QColor(52, 48, 44));
  pal.setColor(QPalette::ButtonText, QColor(240, 236, 228));
  pal.setColor(QPalette::Highlight, QColor(196, 108, 32));
  pal.setColor(QPalette::HighlightedText, Qt::white);
  pal.setColor(QPalette::ToolTipBase, QColor(40, 36, 32));
  pal.setColor(QPalette::ToolTipText, QColor(240, 236, 228));
  pal.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 118, 112));
  pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 118, 112));
  pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 118, 112));
  app.setPalette(pal);
  app.setStyleSheet(QStringLiteral(
      "QLabel { color: #ece6da; background: transparent; }"
      "QLabel[role=\"heading\"] { font-size: 16pt; font-weight: bold; color: #f0a040; }"
      "QLabel[role=\"title\"] { font-size: 28pt; font-weight: bold; color: #f0a040; }"
      "QLabel[role=\"splash-title\"] { font-size: 16pt; font-weight: bold; color: #f0a040; }"
      "QLabel[role=\"splash-text\"] { font-size: 11pt; color: #c8c0b0; }"
      "QLabel[role=\"decorative\"] { font-family: 'DejaVu Serif'; font-size: 13pt; font-weight: bold;"
      "  font-style: italic; color: #ff5a3a; }"
      "QPushButton[role=\"stepper\"] { font-size: 6pt; padding: 0; border-radius: 1px; }"
      "QLabel[role=\"preview\"] { border: 1px solid #806040; background: #101010; }"
      "QGroupBox { border: none; margin: 0; padding: 0; }"
      "QPushButton { background: #3a322a; color: #f0ece4; border: 1px solid #806040; border-radius: 3px;"
      "  padding: 3px 10px; }"
      "QPushButton:hover { background: #5a4530; border-color: #f0a040; }"
      "QPushButton:pressed { background: #2a241e; }"
      "QPushButton:disabled { background: #2a2622; color: #787670; border-color: #4a4036; }"
      "QLineEdit, QComboBox, QListWidget, QPlainTextEdit {"
      "  background: rgba(12, 12, 14, 220); color: #ece6da; border: 1px solid #5a4a3a;"
      "  selection-background-color: #c46c20; }"
      "QTabBar::tab { background: #2a2622; color: #d8d0c4; padding: 2px 10px; border: 1px solid #4a3e32; }"
      "QTabBar::tab:selected { background: #5a4530; color: #ffffff; }"));
}

}  // namespace fdk
