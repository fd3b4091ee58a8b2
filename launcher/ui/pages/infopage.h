#pragma once
// The "Info" page: the typed title line, the fading logo and the Setup button,
// which hides the main window while the setup dialog is open.
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
  explicit InfoPage(const PageSite& site);

  void firstActivation() override;
  // The title stops typing.
  void aboutToClose() override;
  // The logo fades out while the page is shown.
  void closed() override;

  QLabel* lscroll;           // the typed title line
  QLabel* HarmFade1;         // the fading logo
  QPushButton* CoolButton1;  // "Setup"
  QLabel* lchecks;           // the pre-launch checks of both games, one line

  // The page is shown: the checks run again, as the setup or a choice may have changed.
  bool eventFilter(QObject* watched, QEvent* event) override;

  void CoolButton1Click();

 private:
  LauncherContext& ctx_;
  PageFrame* frame_;
  Tfsetup& setup_;
  QTimer* typer_;
  int typed_ = 0;

  void showChecks();
  void startTitle();
  void typeTitleStep();
  // Fades the logo in (not waiting) or out (waiting until it is gone).
  void fadeLogo(bool in);
};

}  // namespace fdk
