#include "work/scanwindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace fdk {

namespace {
constexpr int kWidth = 230;
constexpr int kHeight = 91;
}  // namespace

Tfscan::Tfscan() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool) {
  setObjectName(QStringLiteral("fscan"));
  setWindowTitle(QStringLiteral("scanning"));
  setAccessibleName(QStringLiteral("scanning"));
  setFixedSize(kWidth, kHeight);
  setStyleSheet(QStringLiteral("#fscan { background: black; } QLabel { color: #a0a0a0; }"));
  setAttribute(Qt::WA_StyledBackground);
  label = new QLabel(QString::fromLatin1(kPakScanText), this);
  label->setObjectName(QStringLiteral("lscan"));
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(0, 8, kWidth, 24);
  animation = new WorkAnimation(WorkAnimation::Kind::FindFolder, this);
  animation->setGeometry((kWidth - 64) / 2, 34, 64, 52);
  repaint_ = new QTimer(this);
  repaint_->setInterval(1000);
  connect(repaint_, &QTimer::timeout, this, qOverload<>(&QWidget::repaint));
}

void Tfscan::begin(const QString& text) {
  label->setText(text);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
  show();
  raise();
  animation->start();
  repaint_->start();
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Tfscan::end() {
  animation->stop();
  repaint_->stop();
  hide();
  emit closed();
}

}  // namespace fdk
