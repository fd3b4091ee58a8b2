#pragma once
// What every window of the launcher shares for one run: the settings store, the
// programs it started, the pictures loaded at start-up, and what the pages tell
// each other.
#include <QPixmap>
#include <QString>
#include <string>
#include <vector>
#include "core/content/pakcontent.h"
#include "core/platform/processes.h"
#include "core/store/settings.h"
#include "app/contentevents.h"
#include "app/messages.h"

namespace fdk {

struct SwitchPictures {
  QPixmap on;   // "knoppja"
  QPixmap off;  // "knoppno"
};

class Tfbar;
class Tfscan;
class Tffatpic;

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
  PakContentState pakContent;  // the PAK listing's answers and caches for this run
  ContentEvents content;       // what one page changes that others show

  // The work windows, made once at program start and shared by every page.
  Tfbar* fbar = nullptr;
  Tfscan* fscan = nullptr;
  Tffatpic* ffatpic = nullptr;

  QString folder() const { return QString::fromStdString(vars.programFolder); }
};

}  // namespace fdk
