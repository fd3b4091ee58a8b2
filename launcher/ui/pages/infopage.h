#pragma once
// The "Info" page: the typed title line, the fading logo and the Setup button.
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QTimer>

#include "app/context.h"
#include "hub/hubpage.h"
#include "hub/pageframe.h"

namespace fdk {

class InfoPage : public QObject, public HubPage {
  Q_OBJECT
 public:
  InfoPage(LauncherContext& ctx, PageFrame* frame);

  void firstActivation() override;

  // Fades the logo in (not waiting) or out (waiting until it is gone).
  void fadeLogo(bool in);
  void stopTitle() { typer_->stop(); }

  QLabel* lscroll;           // the typed title line
  QLabel* HarmFade1;         // the fading logo
  QPushButton* CoolButton1;  // "Setup"

 private:
  LauncherContext& ctx_;
  QTimer* typer_;
  int typed_ = 0;

  void startTitle();
  void typeTitleStep();
};

}  // namespace fdk
