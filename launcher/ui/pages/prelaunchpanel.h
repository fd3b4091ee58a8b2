#pragma once
// The pre-launch checks of a Stuff page: what will go wrong at a start, one
// finding a line, and the letter-case fix with its undo.
#include <QListWidget>
#include <QObject>
#include <QPushButton>

#include "app/context.h"

namespace fdk {

class OptionRows;

// Where the panel stands on its page: the caption at (x, y), the list beside it.
struct PanelPlace {
  int x;
  int y;
  int listHeight;
};

class PreLaunchPanel : public QObject {
  Q_OBJECT
 public:
  PreLaunchPanel(LauncherContext& ctx, Game game, OptionRows& rows, QWidget* box, PanelPlace at);

  // Runs the checks again and shows what they find; the buttons show where they can act.
  void refresh();

  QListWidget* lbchecks;
  QPushButton* bfixcase;   // shown while a finding is about letter case
  QPushButton* bundocase;  // shown while a fix of this game is recorded

 private:
  LauncherContext& ctx_;
  Game game_;

  void bfixcaseClick();
  void bundocaseClick();
};

}  // namespace fdk
