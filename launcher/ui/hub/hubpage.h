#pragma once
// What the main window asks of each of its pages. The main window hosts the
// pages (tab strip, backgrounds, start and quit buttons); each page owns its
// controls, previews and lists, and fills them itself.
namespace fdk {

class HubPage {
 public:
  virtual ~HubPage() = default;
  // The main window is shown for the first time: fill the lists and show the
  // stored values. The main window calls its pages in the start-up order.
  virtual void firstActivation() {}
  // The main window is closing; the settings are saved right after.
  virtual void aboutToClose() {}
};

}  // namespace fdk
