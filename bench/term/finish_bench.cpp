// Finishing a launch record of 100,000 files in 1,000 folders, unchanged by the
// game: every file removed, then every folder. The folder and the record are
// made again before each round, outside the timing. Goal: well under 1 s of CPU.
// Run: build/bench/fragdock_term_bench
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "core/record/launchrecord.h"
#include "term/core/termrun.h"
#include "testing/tempdir.h"

namespace {

constexpr int kFolders = 1000;
constexpr int kFilesPerFolder = 100;

fdk::FileStamp writeEmptyFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  struct stat info {};
  ::fstat(fd, &info);
  ::close(fd);
  return {0, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

// Makes the launch's files and writes its record, the way a launch would.
void launch(const std::string& root, const std::string& records) {
  fdk::LaunchRecord record;
  record.game = '2';
  record.root = root;
  struct stat info {};
  ::stat(root.c_str(), &info);
  record.rootDevice = info.st_dev;
  record.rootInode = info.st_ino;
  record.changes.reserve(kFolders * (kFilesPerFolder + 1));
  for (int f = 0; f < kFolders; ++f) {
    const std::string folder = "mod/maps" + std::to_string(f);
    ::mkdir((root + folder).c_str(), 0755);
    record.changes.push_back({fdk::RecordedChange::Kind::Folder, folder, {}, {}, {}});
    for (int i = 0; i < kFilesPerFolder; ++i) {
      const std::string path = folder + "/map" + std::to_string(i) + ".bsp";
      record.changes.push_back({fdk::RecordedChange::Kind::File, path, {}, {}, writeEmptyFile(root + path)});
    }
  }
  const std::string id = "2-00000000001700000000.000000000-1";
  std::filesystem::create_directories(records);
  FILE* out = std::fopen((records + id + ".record").c_str(), "wb");
  const std::string formatted = fdk::FormatRecord(record);
  std::fwrite(formatted.data(), 1, formatted.size(), out);
  std::fclose(out);
}

void BM_FinishHundredThousandFiles(benchmark::State& state) {
  fdk::TempDir dir;
  const std::string program = dir.folder() + "program/";
  const std::string root = dir.folder() + "quake2/";
  std::filesystem::create_directories(root + "mod");
  fdk::TermOptions options;
  options.mode = fdk::TermOptions::Mode::Game;
  options.game = '2';
  for (auto _ : state) {
    state.PauseTiming();
    launch(root, program + "records/");
    state.ResumeTiming();
    std::ostringstream out, err;
    if (fdk::RunTerm(options, program, out, err) != 0) state.SkipWithError(err.str().c_str());
    state.PauseTiming();
    if (std::filesystem::exists(root + "mod/maps0")) state.SkipWithError("the launch's files are still there");
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kFolders * kFilesPerFolder);
}
BENCHMARK(BM_FinishHundredThousandFiles)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
