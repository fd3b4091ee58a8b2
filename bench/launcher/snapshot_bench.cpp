// The install snapshot of a large game folder: 100,000 files in 2,000 folders
// (a root, 40 top folders of 49 sub-folders each, 50 files per folder),
// built once per run in a temporary folder. Goal: under 1 s warm.
// Run: build/bench/fragdock_snapshot_bench
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/install/snapshot.h"
#include "testing/tempdir.h"

namespace {

constexpr int kTopFolders = 40;
constexpr int kSubFolders = 49;  // 40 * (1 + 49) = 2,000 folders below the root
constexpr int kFilesPerFolder = 50;

void writeEmptyFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd >= 0) ::close(fd);
}

// Mixed letter case so the order without case has work to do.
void fillFolder(const std::string& folder) {
  char name[32];
  for (int f = 0; f < kFilesPerFolder; ++f) {
    std::snprintf(name, sizeof name, f % 2 ? "Map%03d.bsp" : "pak%03d.PAK", f);
    writeEmptyFile(folder + name);
  }
}

const fdk::TempDir& gameFolder() {
  static fdk::TempDir game;
  static bool ready = false;
  if (ready) return game;
  char name[32];
  for (int t = 0; t < kTopFolders; ++t) {
    std::snprintf(name, sizeof name, t % 2 ? "/Mod%02d" : "/mod%02d", t);
    const std::string top = game.path().string() + name;
    std::filesystem::create_directory(top);
    fillFolder(top + "/");
    for (int s = 0; s < kSubFolders; ++s) {
      std::snprintf(name, sizeof name, "/sub%02d", s);
      std::filesystem::create_directory(top + name);
      fillFolder(top + name + "/");
    }
  }
  ready = true;
  return game;
}

void BM_TakeSnapshot(benchmark::State& state) {
  const std::string folder = gameFolder().folder();
  std::size_t files = 0;
  for (auto _ : state) {
    fdk::InstallSnapshot snapshot = fdk::TakeSnapshot(folder);
    files = snapshot.files.size();
    benchmark::DoNotOptimize(snapshot);
  }
  state.counters["files"] = static_cast<double>(files);
}
BENCHMARK(BM_TakeSnapshot)->Unit(benchmark::kMillisecond)->MinWarmUpTime(1.0);

}  // namespace

BENCHMARK_MAIN();
