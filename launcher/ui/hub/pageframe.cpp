#include "hub/pageframe.h"

#include <QResizeEvent>

#include "app/captions.h"

namespace fdk {

namespace {
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 28;
constexpr int kMargin = 10;
}  // namespace

PageFrame::PageFrame(const QString& pageName, const QString& backName, QWidget* parent) : QWidget(parent) {
  setObjectName(pageName);
  box_ = new QGroupBox(this);
  box_->setObjectName(pageName + QStringLiteral("Box"));
  box_->setFlat(true);
  back_ = new QLabel(box_);
  back_->setObjectName(backName);
  back_->setScaledContents(true);
  back_->lower();
}

void PageFrame::setBackground(const QPixmap& picture) { back_->setPixmap(picture); }

QPushButton* PageFrame::addBottomButton(const QString& objectName, const QString& text, const QString& hint, int slot) {
  auto* button = new QPushButton(text, box_);
  button->setObjectName(objectName);
  GiveHint(button, hint);
  button->setCursor(Qt::PointingHandCursor);
  bottomButtons_.append({button, slot});
  placeBottomButtons();
  return button;
}

QLabel* PageFrame::addHeading(const QString& text) {
  auto* heading = new QLabel(text, box_);
  heading->setObjectName(objectName() + QStringLiteral("Heading"));
  heading->setProperty("role", "heading");
  heading->move(kMargin + 4, kMargin);
  heading->adjustSize();
  return heading;
}

void PageFrame::placeBottomButtons() {
  for (auto [button, slot] : bottomButtons_) {
    int x = width() - kMargin - (slot + 1) * kButtonWidth - slot * 6;
    button->setGeometry(x, height() - kMargin - kButtonHeight, kButtonWidth, kButtonHeight);
  }
}

void PageFrame::resizeEvent(QResizeEvent* event) {
  box_->setGeometry(rect());
  back_->setGeometry(box_->rect());
  placeBottomButtons();
  QWidget::resizeEvent(event);
}

QLabel* makePreview(const QString& objectName, QWidget* parent, const QRect& geometry) {
  auto* image = new QLabel(parent);
  image->setObjectName(objectName);
  image->setProperty("role", "preview");
  image->setScaledContents(true);
  image->setFrameShape(QFrame::Box);
  image->setGeometry(geometry);
  return image;
}

}  // namespace fdk
