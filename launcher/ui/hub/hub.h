#pragma once
// The main window: nine pages behind a tab strip, the start and quit buttons,
// the loading that fills every page once, and the tidy-up when it closes. It
// only hosts its pages: it makes them from its page table and calls them through
// HubPage; what one page tells another goes through the context's content model.
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

class Tfhub : public QWidget {
  Q_OBJECT
 public:
  Tfhub(LauncherContext& ctx, Tfsetup& setup);

  static constexpr int kPageCount = 9;
  enum PageIndex { Info, Q1Mod, Q1Maps, Q1Skins, Q1Stuff, Q2Mod, Q2Maps, Q2Models, Q2Stuff };

  QTabBar* TabSet;
  QStackedWidget* aaaNotebook;
  std::array<PageFrame*, kPageCount> pages{};  // the frames, in tab order
  QPushButton *bq1go, *bq2go, *bx;             // hidden; every page's buttons forward here
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
  std::array<HubPage*, kPageCount> hosted_{};  // what each frame holds

  void FormCreate();
  void buildPages();
  void addStartButtons(PageFrame* page, int game);
  void FormActivate();
  void FormClose();
  void TabSetClick(int index);
  void tsizecheckTimer();

  // The launches (hub_launch.cpp).
  void bq1goClick();
  void bq2goClick();
  void launch(Game game);
  void abortLaunch(const std::string& why);
};

}  // namespace fdk
