#pragma once
// The progress window as the host of an install: the passes move its bar, and
// questions go to the player through the message seam.
#include "app/context.h"
#include "core/install/installhost.h"
#include "work/progresswindow.h"

namespace fdk {

class BarInstallHost : public InstallHost {
 public:
  explicit BarInstallHost(LauncherContext& ctx) : ctx_(ctx), bar_(*ctx.fbar) {}
  void begin(const std::string& title) override { bar_.begin(QString::fromStdString(title)); }
  void counted(std::uint64_t bytes) override { bar_.ShowProgress(false, bytes); }
  void secondPass() override { bar_.startAnimation(); }
  void done(std::uint64_t bytes) override { bar_.ShowProgress(true, bytes); }
  void within(std::uint64_t bytes) override { bar_.ShowPartial(bytes); }
  bool ask(const std::string& question) override;
  void end() override { bar_.end(); }

 private:
  LauncherContext& ctx_;
  Tfbar& bar_;
};

}  // namespace fdk
