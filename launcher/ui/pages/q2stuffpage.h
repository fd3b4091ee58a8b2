#pragma once
// The "Q2 Stuff" page: the Quake 2 start options and the deathmatch flags, with
// the flags value the start script will carry.
#include <QLabel>

#include "pages/optionpage.h"

namespace fdk {

class Q2StuffPage : public OptionPage {
  Q_OBJECT
 public:
  Q2StuffPage(LauncherContext& ctx, QWidget* box);

 private:
  QLabel* ldmflags_ = nullptr;  // the flags value the start script will carry

  void changed() override;
};

}  // namespace fdk
