// Starting the games from the main window: the checks, then the launch sequence
// of the core, then the launcher closes.
#include <QApplication>

#include "core/launch/launch.h"
#include "core/launch/launchsequence.h"
#include "hub/hub.h"
#include "work/barhost.h"
#include "work/scanwindow.h"

namespace fdk {

namespace {
// Tells the player once, before the game starts, what the launch left out.
// Shows the installs in the progress window and asks through the message seam.
class HubObserver : public LaunchObserver {
 public:
  explicit HubObserver(LauncherContext& ctx) : ctx_(ctx), bar_(ctx) {}
  void leftOut(const Report& report) override {
    ctx_.messages.warn(QStringLiteral("Some files were not copied into the game:\n") +
                       QString::fromStdString(report.text()));
  }
  void begin(const std::string& title) override { bar_.begin(title); }
  void counted(std::uint64_t bytes) override { bar_.counted(bytes); }
  void secondPass() override { bar_.secondPass(); }
  void done(std::uint64_t bytes) override { bar_.done(bytes); }
  void within(std::uint64_t bytes) override { bar_.within(bytes); }
  bool ask(const std::string& question) override { return bar_.ask(question); }
  void end() override { bar_.end(); }
  bool Ask(std::string_view question) override { return ask(std::string(question)); }
  void ScanBegins() override { ctx_.fscan->begin(); }
  void ScanEnds() override { ctx_.fscan->end(); }

 private:
  LauncherContext& ctx_;
  BarInstallHost bar_;
};
}  // namespace

// A launch that cannot go on brings the window back; every setting stays as it was.
void Tfhub::abortLaunch(const std::string& why) {
  ctx_.vars.launchgame = '0';
  show();
  ctx_.messages.warn(QString::fromStdString(why));
}

void Tfhub::launch(Game game) {
  if (Status ready = CheckLaunch(ctx_.vars, game); !ready) return abortLaunch(ready.error().text);
  hide();
  QApplication::processEvents();
  HubObserver observer(ctx_);
  const LaunchTools tools{ctx_.processes, ctx_.zip, ctx_.pakContent};
  if (Status started = RunLaunch(ctx_.vars, game, tools, observer); !started)
    return abortLaunch(started.error().text);
  close();  // saves the settings; the launcher's work is done
}

void Tfhub::bq1goClick() { launch(Game::Quake1); }

void Tfhub::bq2goClick() { launch(Game::Quake2); }

}  // namespace fdk
