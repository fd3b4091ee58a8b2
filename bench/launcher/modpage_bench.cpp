// Filling a MOD page from a MOD folder of 5,000 MODs: the core's list, and the
// whole page (list widget included). Goal: under 200 ms.
// Run: QT_QPA_PLATFORM=offscreen fragdock_modpage_bench
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/context.h"
#include "core/content/mods.h"
#include "hub/pageframe.h"
#include "pages/modpage.h"
#include "testing/tempdir.h"

namespace {

constexpr int kMods = 5000;

// 5,000 described MODs, every other one with a ".wat" too, and their archives.
const fdk::TempDir& modFolder() {
  static fdk::TempDir dir;
  static bool made = false;
  if (!made) {
    for (int i = 0; i < kMods; ++i) {
      const std::string name = "mod" + std::to_string(i);
      dir.write(name + ".txt", "A MOD.\r\n");
      dir.write(name + ".zip", "PK");
      if (i % 2 == 0) dir.write(name + ".wat", "Notes.\r\n");
    }
    made = true;
  }
  return dir;
}

void BM_ModListItems(benchmark::State& state) {
  fdk::GameSettings g;
  g.Patch = modFolder().folder();
  for (auto _ : state) benchmark::DoNotOptimize(fdk::ModListItems(g, fdk::Game::Quake1));
  state.counters["items"] = static_cast<double>(fdk::ModListItems(g, fdk::Game::Quake1).size());
}
BENCHMARK(BM_ModListItems)->Unit(benchmark::kMillisecond);

void BM_FillModPage(benchmark::State& state) {
  fdk::LauncherContext ctx;
  ctx.vars.q1.Patch = modFolder().folder();
  for (auto _ : state) {
    fdk::PageFrame frame(QStringLiteral("Q1 MOD"), QStringLiteral("backq1p"));
    fdk::ModPage page(ctx, &frame, fdk::Game::Quake1);
    page.firstActivation();
    benchmark::DoNotOptimize(page.patchlist->count());
  }
}
BENCHMARK(BM_FillModPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
