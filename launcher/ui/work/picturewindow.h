#pragma once
// The picture window: a preview enlarged to the whole screen; a click closes it.
#include <QDialog>
#include <QLabel>

namespace fdk {

class Tffatpic : public QDialog {
  Q_OBJECT
 public:
  Tffatpic();

  QLabel* i;  // the stretched picture

  // Covers the screen with the picture and waits until it is clicked away.
  void showPicture(const QPixmap& picture);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace fdk
