#pragma once
// Small looping pictures that say "work is going on": a sheet flying from one
// folder to another (copying files), and a lens circling over a folder (scanning).
#include <QTimer>
#include <QWidget>

namespace fdk {

class WorkAnimation : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { CopyFiles, FindFolder };
  WorkAnimation(Kind kind, QWidget* parent);

  void start() { timer_->start(); }
  void stop() { timer_->stop(); }
  bool running() const { return timer_->isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Kind kind_;
  QTimer* timer_;
  int phase_ = 0;  // 0..kPhases-1 along the loop

  void paintCopy(class QPainter& p) const;
  void paintFind(class QPainter& p) const;
};

}  // namespace fdk
