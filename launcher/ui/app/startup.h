#pragma once
// The splash window: loads the settings and the pictures, then hands over to the main window.
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "app/context.h"

namespace fdk {

class Tfhub;
class Tfsetup;

class Tfstartup : public QWidget {
  Q_OBJECT
 public:
  Tfstartup(LauncherContext& ctx, Tfhub& hub, Tfsetup& setup);

  // Loads every picture the windows need. Returns false (after calling the fatal
  // handler with "NO WAY") when a required picture is missing.
  bool loadPictures();

 signals:
  void handedOver();  // the main window is shown

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  LauncherContext& ctx_;
  Tfhub& hub_;
  Tfsetup& setup_;
  QTimer* loader_;
  QTimer* spinner_;
  QLabel* dots_;
  bool activated_ = false;
  int frame_ = 0;

  void FormActivate();
  void TimerTick();
  bool require(const char* name, QPixmap& out);        // in the program folder
  bool requireAt(const std::string& base, QPixmap& out);  // anywhere
};

}  // namespace fdk
