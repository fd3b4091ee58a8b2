#pragma once
#include "pages/addonpage.h"

namespace fdk {

class Q1SkinsPage : public AddOnPage {
  Q_OBJECT
 public:
  Q1SkinsPage(LauncherContext& ctx, PageFrame* frame);
};

}  // namespace fdk
