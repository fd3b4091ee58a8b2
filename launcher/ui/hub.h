#pragma once
// The main window: nine pages behind a tab strip, the start and quit buttons,
// the loading that fills every page once, and the tidy-up when it closes.
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <array>

#include "context.h"
#include "pageframe.h"

namespace fdk {

class Tfsetup;
class Q1StuffPage;
class Q2StuffPage;

class Tfhub : public QWidget {
  Q_OBJECT
 public:
  Tfhub(LauncherContext& ctx, Tfsetup& setup);

  static constexpr int kPageCount = 9;
  enum PageIndex { Info, Q1Mod, Q1Maps, Q1Skins, Q1Stuff, Q2Mod, Q2Maps, Q2Models, Q2Stuff };

  QTabBar* TabSet;
  QStackedWidget* aaaNotebook;
  std::array<PageFrame*, kPageCount> pages{};
  QLabel *q1prev, *q1skin, *q2prev, *iq2sp;  // the four preview images
  QPushButton *bq1go, *bq2go, *bx;          // hidden; every page's buttons forward here
  QPushButton* CoolButton1;                 // "Setup"
  QLabel* HarmFade1;                        // the fading logo
  QLabel* lscroll;                          // the typed title line
  QTimer* tsizecheck;
  Q1StuffPage* q1stuff;
  Q2StuffPage* q2stuff;

  void setBackgrounds(const QPixmap& picture);
  bool loaded() const { return !firstActivation_; }
  QSize lockedClientSize() const;
  // Closes as the close button does, but reports on stderr only: a logout or a
  // kill must not wait for a message box.
  void closeFromSignal();

 signals:
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  LauncherContext& ctx_;
  Tfsetup& setup_;
  bool firstActivation_ = true;
  bool closing_ = false;
  bool closingFromSignal_ = false;
  QTimer* typer_;
  int typed_ = 0;

  void FormCreate();
  void buildPages();
  void buildInfoPage(PageFrame* page);
  void addStartButtons(PageFrame* page, int game);
  void FormActivate();
  void FormClose();
  void TabSetClick(int index);
  void tsizecheckTimer();
  void CoolButton1Click();
  void startTitle();
  void typeTitleStep();
  void fadeLogo(bool in);

  // The launches (hub_launch.cpp).
  void bq1goClick();
  void bq2goClick();
  void launch(Game game);
  void abortLaunch(const std::string& why);
};

}  // namespace fdk
