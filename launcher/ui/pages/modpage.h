#pragma once
// The "Q1 MOD" and "Q2 MOD" pages: the MODs of the game's MOD folder, the chosen
// one's description and preview picture (enlarged on a click).
#include <QListWidget>
#include <QPlainTextEdit>

#include "pages/addonpage.h"

namespace fdk {

class ModPage : public AddOnPage {
  Q_OBJECT
 public:
  ModPage(LauncherContext& ctx, PageFrame* frame, Game game);

  void firstActivation() override;

  QListWidget* patchlist;    // q1patchlist, q2patchlist
  QPlainTextEdit* patchtext;  // q1patchtext, q2patchtext

  // A click in the list: the MOD the next launch installs and starts.
  void patchlistClick(QListWidgetItem* item);
  // A click on the preview: the picture fills the screen.
  void prevClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Game game_;

  void fillList();
  void showPreview(const struct ModPreview& preview);
};

}  // namespace fdk
