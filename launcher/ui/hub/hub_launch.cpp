// Starting the games from the main window: the checks, then the launch sequence
// of the core, then the launcher closes.
#include <QApplication>
#include <QElapsedTimer>

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
    ctx_.messages.warn(QStringLiteral("Some of the launch's work was left out:\n") +
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

  // A large game folder takes a moment to list: the scan window shows how far
  // it got, and the windows under it keep painting.
  void folderEntered(const std::string& /*folder*/, std::size_t filesSoFar) override {
    if (!listing_.isValid()) listing_.start();
    if (listing_.elapsed() < kQuietMs || (sincePaint_.isValid() && sincePaint_.elapsed() < kPaintEveryMs)) return;
    const QString text = QStringLiteral("Listing the game folder: %1 files").arg(filesSoFar);
    if (!scanShown_) ctx_.fscan->begin(text);
    else ctx_.fscan->label->setText(text);
    scanShown_ = true;
    sincePaint_.start();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  void stepStarted(LaunchStep step) override {
    if (step == LaunchStep::TakeSnapshot) return listing_.invalidate();
    if (scanShown_) ctx_.fscan->end();
    scanShown_ = false;
  }

 private:
  static constexpr qint64 kQuietMs = 300;      // a quick listing shows no window
  static constexpr qint64 kPaintEveryMs = 50;  // how often the count is shown
  LauncherContext& ctx_;
  BarInstallHost bar_;
  QElapsedTimer listing_, sincePaint_;
  bool scanShown_ = false;
};
}  // namespace

// A launch that cannot go on brings the window back; every setting stays as it was.
void Tfhub::abortLaunch(const std::string& why) {
  ctx_.vars.launching.reset();
  show();
  ctx_.messages.warn(QString::fromStdString(why));
}

void Tfhub::launch(Game game) {
  if (Status ready = CheckLaunch(ctx_.vars, game); !ready) return abortLaunch(ready.error().text);
  hide();
  QApplication::processEvents();
  HubObserver observer(ctx_);
  Tzipform catalogue;  // the launch's own: no page's listing is disturbed
  const LaunchTools tools{ctx_.processes, catalogue, ctx_.pakContent};
  if (Status started = RunLaunch(ctx_.vars, game, tools, observer); !started)
    return abortLaunch(started.error().text);
  close();  // saves the settings; the launcher's work is done
}

void Tfhub::bq1goClick() { launch(Game::Quake1); }

void Tfhub::bq2goClick() { launch(Game::Quake2); }

}  // namespace fdk
