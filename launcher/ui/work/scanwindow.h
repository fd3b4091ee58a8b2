#pragma once
// The scan window: "Scanning PAKs......" with the find-folder animation while
// the launcher looks through the game's PAK archives.
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "work/animation.h"

namespace fdk {

inline constexpr const char* kPakScanText = "Scanning PAKs......";

class Tfscan : public QWidget {
  Q_OBJECT
 public:
  Tfscan();

  QLabel* label;
  WorkAnimation* animation;

  // Shown and painted at once: the caller blocks while it scans. The text
  // says what is being looked through.
  void begin(const QString& text = QString::fromLatin1(kPakScanText));
  void end();

 signals:
  // The window went away; what was under it wants painting.
  void closed();

 private:
  QTimer* repaint_;
};

}  // namespace fdk
