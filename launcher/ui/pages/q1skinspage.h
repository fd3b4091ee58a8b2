#pragma once
// The "Q1 Skins" page: the QuakeWorld skin archives of the skin folder, the
// skins chosen for the next Quake launch, and a preview of a clicked skin.
#include <QListWidget>
#include <QPushButton>
#include <vector>

#include "base/report.h"
#include "pages/addonpage.h"

namespace fdk {

class Q1SkinsPage : public AddOnPage {
  Q_OBJECT
 public:
  Q1SkinsPage(LauncherContext& ctx, PageFrame* frame);

  void firstActivation() override;

  QListWidget* lbq1skins;   // "Available Skins": "(none)" and the skin archives
  QListWidget* lbq1skinss;  // "Selected Skins": in the order added, twice where added twice
  QPushButton* bq1sadd;
  QPushButton* bq1sremove;

  void bq1saddClick();
  void bq1sremoveClick();
  void lbq1skinsClick(QListWidgetItem* item);
  void q1skinClick();
  // The Quake launch installs the selected skins through this; what could not
  // be installed is given back to be told with the rest of the launch.
  Report bq1scClick();
  // The add and remove buttons work only for QuakeWorld.
  void enableButtons(bool quakeWorld);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showSelected();
  void showPicture(const std::string& archive);
};

}  // namespace fdk
