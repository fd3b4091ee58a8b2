#pragma once
// The "Q1 Stuff" page: every Quake start option as a switch with its value.
#include "pages/optionpage.h"

namespace fdk {

class Q1StuffPage : public OptionPage {
  Q_OBJECT
 public:
  Q1StuffPage(LauncherContext& ctx, QWidget* box);
};

}  // namespace fdk
