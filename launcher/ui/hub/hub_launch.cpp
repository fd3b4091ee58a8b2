// Starting the games from the main window: the checks, then the launch sequence
// of the core, then the launcher closes.
#include <QApplication>

#include "core/launch.h"
#include "core/launchsequence.h"
#include "hub/hub.h"

namespace fdk {

namespace {
// Tells the player once, before the game starts, what the launch left out.
class HubObserver : public LaunchObserver {
 public:
  explicit HubObserver(UserMessages& messages) : messages_(messages) {}
  void leftOut(const Report& report) override {
    messages_.warn(QStringLiteral("Some files were not copied into the game:\n") +
                   QString::fromStdString(report.text()));
  }

 private:
  UserMessages& messages_;
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
  HubObserver observer(ctx_.messages);
  if (Status started = RunLaunch(ctx_.vars, game, ctx_.processes, observer); !started)
    return abortLaunch(started.error().text);
  close();  // saves the settings; the launcher's work is done
}

void Tfhub::bq1goClick() { launch(Game::Quake1); }

void Tfhub::bq2goClick() { launch(Game::Quake2); }

}  // namespace fdk
