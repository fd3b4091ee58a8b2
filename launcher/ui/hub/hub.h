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

#include "app/context.h"
#include "hub/hubpage.h"
#include "hub/pageframe.h"

namespace fdk {

class Tfsetup;
class Q1StuffPage;
class Q2StuffPage;
class InfoPage;
class AddOnPage;

class Tfhub : public QWidget {
  Q_OBJECT
 public:
  Tfhub(LauncherContext& ctx, Tfsetup& setup);

  static constexpr int kPageCount = 9;
  enum PageIndex { Info, Q1Mod, Q1Maps, Q1Skins, Q1Stuff, Q2Mod, Q2Maps, Q2Models, Q2Stuff };

  QTabBar* TabSet;
  QStackedWidget* aaaNotebook;
  std::array<PageFrame*, kPageCount> pages{};  // the frames, in tab order
  std::array<HubPage*, kPageCount> hosted{};   // what each frame holds
  QPushButton *bq1go, *bq2go, *bx;            // hidden; every page's buttons forward here

  // The pages' own controls that other windows and tests reach.
  InfoPage* info;
  Q1StuffPage* q1stuff;
  Q2StuffPage* q2stuff;
  QLabel *q1prev, *q1skin, *q2prev, *iq2sp;  // the four preview images
  QLabel *lscroll, *HarmFade1;
  QPushButton* CoolButton1;  // "Setup"
  QTimer* tsizecheck;

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

  void FormCreate();
  void buildPages();
  HubPage* makePage(int index, PageFrame* frame);
  void addStartButtons(PageFrame* page, int game);
  void FormActivate();
  void FormClose();
  void TabSetClick(int index);
  void tsizecheckTimer();
  void CoolButton1Click();

  // The launches (hub_launch.cpp).
  void bq1goClick();
  void bq2goClick();
  void launch(Game game);
  void abortLaunch(const std::string& why);
};

}  // namespace fdk
