#pragma once
// What every window of the launcher shares for one run: the settings store, the
// programs it started and the pictures loaded at start-up.
#include <QPixmap>
#include <QString>
#include <functional>

#include "core/processes.h"
#include "core/settings.h"

namespace fdk {

struct SwitchPictures {
  QPixmap on;   // "knoppja"
  QPixmap off;  // "knoppno"
};

struct LauncherContext {
  Uvars vars;
  DefaultRoots roots;
  ProcessLayer processes;

  QPixmap background;   // page backgrounds
  QPixmap placeholder;  // "!none!": shown wherever no preview exists
  QPixmap logo;         // "fdk"
  QPixmap littleBack;   // "litleback": setup dialog and editors
  SwitchPictures switches;

  // Ends the program at once with "NO WAY" (settings are not saved). Tests replace it.
  std::function<void(const QString& text)> fatal;
  // Tells the user about a problem the launcher survives. Tests replace it.
  std::function<void(const QString& text)> warn;

  QString folder() const { return QString::fromStdString(vars.programFolder); }
};

}  // namespace fdk
