// Recording a large MOD's install: 100,000 new files in 100 folders, each
// announced, made (empty) and completed, timing the recorder's share only;
// and reading such a record back. The goal is well under a second of CPU for
// each.
// Run: build/bench/fragdock_record_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"
#include "core/record/recorder.h"
#include "testing/tempdir.h"

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;

void makeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd >= 0) ::close(fd);
}

// Makes the MOD's folders and files, timing only what the recorder does:
// making files costs what it costs with or without a record, and on a busy
// machine it varies far more than the recording's share.
void install(const std::string& root, fdk::LaunchRecorder& recorder, benchmark::State& state) {
  for (int f = 0; f < kFolders; ++f) {
    const std::string folder = root + "mod/f" + std::to_string(f) + "/";
    if (!recorder.BeforeFolder(folder).ok()) return state.SkipWithError("folder refused");
    state.PauseTiming();
    ::mkdir(folder.c_str(), 0755);
    state.ResumeTiming();
    for (int i = 0; i < kFilesPerFolder; ++i) {
      const std::string file = folder + "file" + std::to_string(i) + ".dat";
      if (!recorder.BeforeWrite(file).ok()) return state.SkipWithError("file refused");
      state.PauseTiming();
      makeFile(file);
      state.ResumeTiming();
      if (!recorder.AfterWrite(file).ok()) return state.SkipWithError("completion refused");
    }
  }
}

void BM_RecordLargeInstall(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::optional<fdk::TempDir> dir;
    dir.emplace();
    const std::string root = dir->folder() + "game/";
    std::filesystem::create_directories(root + "mod");
    std::filesystem::create_directories(dir->folder() + "prog");
    std::optional<fdk::LaunchRecorder> recorder;
    recorder.emplace(std::move(fdk::LaunchRecorder::Create(dir->folder() + "prog/", '2', root).value()));
    state.ResumeTiming();
    install(root, *recorder, state);
    state.PauseTiming();
    recorder.reset();
    dir.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kFolders * kFilesPerFolder);
}

void BM_ReadRecordBack(benchmark::State& state) {
  fdk::LaunchRecord record;
  record.game = '2';
  record.root = "/home/player/quake2/";
  for (int f = 0; f < kFolders; ++f) {
    record.changes.push_back({fdk::RecordedChange::Kind::Folder, "mod/f" + std::to_string(f), "", {}, std::nullopt});
    for (int i = 0; i < kFilesPerFolder; ++i)
      record.changes.push_back({fdk::RecordedChange::Kind::File,
                                "mod/f" + std::to_string(f) + "/file" + std::to_string(i) + ".dat",
                                "",
                                {},
                                fdk::FileStamp{0, 1700000000, 123456789}});
  }
  const std::string text = fdk::FormatRecord(record);
  for (auto _ : state) benchmark::DoNotOptimize(fdk::ParseRecord(text).ok());
  state.SetItemsProcessed(state.iterations() * kFolders * kFilesPerFolder);
}

}  // namespace

BENCHMARK(BM_RecordLargeInstall)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ReadRecordBack)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
