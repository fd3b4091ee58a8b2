#pragma once
// The progress window: a title, a bar that uncovers "bar.bmp" from its left edge
// as the work goes on, the byte counter and the copy animation. Its callers block
// the event loop while they work, so it paints itself as the counters move.
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QWidget>

#include "app/context.h"
#include "core/work/progress.h"
#include "work/animation.h"

namespace fdk {

class Tfbar : public QWidget {
  Q_OBJECT
 public:
  explicit Tfbar(LauncherContext& ctx);

  QLabel* ltbar;  // the title
  QFrame* barFrame;
  QLabel* ibar;  // the bar: the picture, as wide as the progress
  QLabel* lbar;  // "done / total"
  WorkAnimation* Animate1;
  ProgressCounters counters;

  // A new run: the title, the bar at its start, the counters at 0; shown at once.
  void begin(const QString& title);
  // Adds bytes to the total (first pass) or to what is done (second pass) and shows it.
  void ShowProgress(bool countsAsDone, std::uint64_t bytes);
  // Shows bytes written of the entry in work beyond what is done, without counting them.
  void ShowPartial(std::uint64_t bytes);
  void startAnimation();
  // The run is over: hidden, the animation stopped.
  void end();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  LauncherContext& ctx_;
  QElapsedTimer sincePaint_;
  bool doneCounted_ = false;

  void showCounters(bool force);
  void showCounters(const ProgressCounters& shown, bool doneCounted, bool force);
};

}  // namespace fdk
