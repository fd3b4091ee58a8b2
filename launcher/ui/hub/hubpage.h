#pragma once
// What the main window asks of each of its pages. The main window hosts the
// pages (tab strip, backgrounds, start and quit buttons); each page owns its
// controls, previews and lists, fills them itself, and hears what other pages
// change through the context's content model.
namespace fdk {

struct LauncherContext;
class PageFrame;
class Tfsetup;

// What a page is made with: the context every window shares, the frame it lives
// in, and the setup dialog, which the Info page opens.
struct PageSite {
  LauncherContext& ctx;
  PageFrame* frame;
  Tfsetup& setup;
};

class HubPage {
 public:
  virtual ~HubPage() = default;
  // The main window is shown for the first time: fill the lists and show the
  // stored values. The main window calls its pages in the start-up order.
  virtual void firstActivation() {}
  // The main window is closing; the settings are saved right after.
  virtual void aboutToClose() {}
  // The settings are saved and the left-overs cleaned up; the window goes next.
  virtual void closed() {}
};

}  // namespace fdk
