// How long the launcher takes from the splash to the main window being shown and
// filled, on the demo program folder. Run: QT_QPA_PLATFORM=offscreen fragdock_startup_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <memory>

#include "app/context.h"
#include "core/platform/paths.h"
#include "hub/hub.h"
#include "dialogs/setup.h"
#include "app/startup.h"

namespace fs = std::filesystem;

namespace {

// A private copy of the demo program folder, so that runs do not touch the real one.
std::string copyProgramFolder() {
  fs::path to = fs::temp_directory_path() / "fragdock-startup-bench";
  fs::remove_all(to);
  fs::copy(FRAGDOCK_DIST, to, fs::copy_options::recursive | fs::copy_options::skip_symlinks);
  return fdk::withTrailingSep(to.string());
}

struct Run {
  fdk::LauncherContext ctx;
  std::unique_ptr<fdk::Tfsetup> setup;
  std::unique_ptr<fdk::Tfhub> hub;
  std::unique_ptr<fdk::Tfstartup> splash;
  explicit Run(const std::string& folder) {
    ctx.vars.programFolder = folder;
    ctx.roots.home = fdk::homeFolder();
    ctx.messages.endProgram = [] { std::abort(); };
    setup = std::make_unique<fdk::Tfsetup>(ctx);
    hub = std::make_unique<fdk::Tfhub>(ctx, *setup);
    splash = std::make_unique<fdk::Tfstartup>(ctx, *hub, *setup);
  }
  ~Run() {
    hub->disconnect();
    hub->hide();
  }
};

void spinUntil(const std::function<bool()>& done) {
  while (!done()) {
    QApplication::processEvents(QEventLoop::AllEvents, 1);
    QThread::usleep(200);
  }
}

// Everything the user waits for, the splash's 100 ms picture timer included.
void BM_SplashToMainWindow(benchmark::State& state) {
  std::string folder = copyProgramFolder();
  for (auto _ : state) {
    Run run(folder);
    run.splash->show();
    spinUntil([&] { return run.hub->isVisible() && run.hub->loaded(); });
  }
}
BENCHMARK(BM_SplashToMainWindow)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// The launcher's own work: creating the windows, settings, pictures and the first-activation loading.
void BM_StartupWorkWithoutTimer(benchmark::State& state) {
  std::string folder = copyProgramFolder();
  for (auto _ : state) {
    Run run(folder);
    if (!fdk::LoadSettings(run.ctx.vars, run.ctx.roots)) state.SkipWithError("settings not loaded");
    if (!run.splash->loadPictures()) state.SkipWithError("pictures missing");
    run.hub->show();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_StartupWorkWithoutTimer)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
