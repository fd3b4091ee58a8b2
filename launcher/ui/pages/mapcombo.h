#pragma once
// The start-map combos of the Stuff pages. A QComboBox tells nobody that it
// is about to drop down, yet the list must be rebuilt just then: this one says
// so before its list opens.
#include <QComboBox>

#include "app/context.h"
#include "core/content/pakcontent.h"

namespace fdk {

class MapCombo : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;

  // Takes the place of a combo built by the page's rows, with its name,
  // geometry and editing, and deletes it.
  static MapCombo* replacing(QComboBox* plain);

  void showPopup() override;

 signals:
  void droppingDown();
};

// Rebuilds a start-map list: asks through the messages, shows the scan window
// while PAKs are listed, and warns once about PAKs or content files it could
// not use. The items replace the combo's; its text stays as it was.
void FillStartMapCombo(LauncherContext& ctx, Game game, QComboBox* combo);

}  // namespace fdk
