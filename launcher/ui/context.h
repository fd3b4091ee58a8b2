#pragma once
// What every window of the launcher shares for one run: the settings store, the
// programs it started and the pictures loaded at start-up.
#include <QPixmap>
#include <QString>
#include "core/processes.h"
#include "core/settings.h"
#include "messages.h"

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

  UserMessages messages;

  QString folder() const { return QString::fromStdString(vars.programFolder); }
};

}  // namespace fdk
