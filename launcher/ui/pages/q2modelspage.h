#pragma once
#include "pages/addonpage.h"

namespace fdk {

class Q2ModelsPage : public AddOnPage {
  Q_OBJECT
 public:
  Q2ModelsPage(LauncherContext& ctx, PageFrame* frame);
};

}  // namespace fdk
