#include "work/picturewindow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace fdk {

Tffatpic::Tffatpic() : QDialog(nullptr, Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("ffatpic"));
  setWindowTitle(QStringLiteral("FATPIC"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  i = new QLabel(this);
  i->setObjectName(QStringLiteral("i"));
  i->setAccessibleName(QStringLiteral("enlarged picture; click to close"));
  i->setScaledContents(true);
  layout->addWidget(i);
}

void Tffatpic::showPicture(const QPixmap& picture) {
  i->setPixmap(picture);
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
  exec();
}

void Tffatpic::mousePressEvent(QMouseEvent* event) {
  event->accept();
  accept();
}

}  // namespace fdk
