#pragma once
// The "Q1 Maps" and "Q2 Maps" pages: the map archives of the map folder, the
// maps chosen for the next launch, the maps installed in the game, the chosen
// archive's description, and deleting installed maps.
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "pages/addonpage.h"

namespace fdk {

class MapPage : public AddOnPage {
  Q_OBJECT
 public:
  MapPage(LauncherContext& ctx, PageFrame* frame, Game game);

  void firstActivation() override;

  QListWidget* available;  // lbq1maps, lbq2amaps
  QListWidget* chosen;     // lbq1chmaps, lbq2cmaps
  QListWidget* installed;  // lbimaps, lbq2imaps
  QPlainTextEdit* description;  // mq1map, mq2map
  QPushButton* addtolist;       // bq1addtolist, bq2addtolist
  QPushButton* removefromlist;  // bq1removefromlist, bq2removefromlist
  QPushButton* delimap;         // bdelimap, bq2delimap

  void addtolistClick();
  void removefromlistClick();
  void mapsClick(QListWidgetItem* item);  // lbq1mapsClick, lbq2amapsClick
  void delimapClick();
  // Shows the installed maps again (after a deletion on either page).
  void refreshInstalled();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Game game_;
  MapLists& lists_;

  QListWidget* makeList(const QString& name, const QString& caption, int x, int width);
};

}  // namespace fdk
