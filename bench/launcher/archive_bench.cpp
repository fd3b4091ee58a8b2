// The archive catalogue against the tools a user would otherwise use:
//  - extracting a MOD-like archive (about 200 MB in 2,000 entries, compressible
//    and incompressible data mixed) into an empty folder, against `unzip -n -q`
//    of the same archive, in the same run; the goal is to be no slower;
//  - listing an archive of 50,000 entries; the goal is under 100 ms.
// The archives are generated once per run into a temporary folder.
// Run: build/bench/fragdock_archive_bench
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/archive/catalogue.h"
#include "testing/archive.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kModEntries = 2000;
constexpr int kLargeEntries = 10;  // pak files, 10 MiB each
constexpr std::size_t kLargeBytes = 10u << 20;
constexpr std::size_t kSmallBytes = 50u << 10;  // the rest average about this
constexpr int kListEntries = 50000;

// A little generator of its own, so that every run writes the same archive.
struct Lcg {
  std::uint32_t state;
  std::uint32_t next() { return state = state * 1664525u + 1013904223u; }
};

// Incompressible bytes (pictures, sounds already packed), or text-like bytes
// that deflate to about a fifth (configs, QuakeC, maps' entity lumps).
std::string content(std::size_t n, bool compressible, Lcg& lcg) {
  static constexpr const char* kWords[] = {"origin ",   "angle ", "light ", "target ",
                                           "classname", "{\n",    "}\n",    "\"0 0 0\" "};
  std::string out;
  out.reserve(n);
  while (out.size() < n) {
    if (compressible) {
      out += kWords[lcg.next() % 8];
      out += std::to_string(lcg.next() % 4096) + ' ';
    } else {
      out += static_cast<char>(lcg.next() >> 24);
    }
  }
  out.resize(n);
  return out;
}

std::vector<fdk::ArchiveEntry> modEntries() {
  static constexpr const char* kFolders[] = {"mymod/maps/",    "mymod/sound/weapons/", "mymod/progs/",
                                             "mymod/gfx/env/", "mymod/textures/base/", "mymod/"};
  Lcg lcg{12345};
  std::vector<fdk::ArchiveEntry> entries;
  for (int i = 0; i < kModEntries; ++i) {
    const bool large = i % (kModEntries / kLargeEntries) == 0;
    // Small files vary from a few bytes to twice the average.
    const std::size_t size = large ? kLargeBytes : lcg.next() % (2 * kSmallBytes);
    const bool compressible = i % 2 == 0;
    std::string name = std::string(kFolders[i % 6]) + (large ? "pak" : "file") + std::to_string(i) +
                       (large ? ".pak" : ".dat");
    entries.push_back({std::move(name), content(size, compressible, lcg), fdk::ArchiveEntry::Kind::File, compressible});
  }
  return entries;
}

std::vector<fdk::ArchiveEntry> manyEntries() {
  std::vector<fdk::ArchiveEntry> entries;
  entries.reserve(kListEntries);
  for (int i = 0; i < kListEntries; ++i)
    entries.push_back({"mymod/maps/part" + std::to_string(i / 500) + "/map" + std::to_string(i) + ".bsp",
                       std::to_string(i), fdk::ArchiveEntry::Kind::File, false});
  return entries;
}

struct Archives {
  fs::path root = fs::temp_directory_path() / ("fragdock-archive-bench-" + std::to_string(::getpid()));
  std::string mod = (root / "mymod.zip").string();
  std::string many = (root / "many.zip").string();
  std::uint64_t modBytes = 0;

  Archives() {
    fs::create_directories(root);
    std::vector<fdk::ArchiveEntry> entries = modEntries();
    for (const auto& e : entries) modBytes += e.bytes.size();
    for (fdk::Status written : {fdk::WriteArchive(mod, entries), fdk::WriteArchive(many, manyEntries())})
      if (!written) std::fprintf(stderr, "%s\n", written.error().text.c_str());
  }
  ~Archives() { fs::remove_all(root); }
  Archives(const Archives&) = delete;
  Archives& operator=(const Archives&) = delete;
  std::string freshFolder(const char* name) const {
    const fs::path dir = root / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
  }
};

// Empties the page cache of nothing, but writes back what the previous
// iteration left dirty, so each iteration starts from the same state.
void settle(const Archives& a, const char* folder) {
  fs::remove_all(a.root / folder);
  ::sync();
}

bool runUnzip(const std::string& archive, const std::string& folder) {
  std::vector<std::string> args = {"unzip", "-n", "-q", archive, "-d", folder};
  std::vector<char*> argv;
  for (std::string& s : args) argv.push_back(s.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "unzip", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_ExtractArchive(benchmark::State& state, const Archives& a) {
  fdk::Tzipform zip;
  if (!zip.ListArchive(a.mod).ok()) return state.SkipWithError("cannot list the archive");
  for (auto _ : state) {
    state.PauseTiming();
    const std::string dir = a.freshFolder("ours");
    state.ResumeTiming();
    fdk::Report report = zip.ExtractArchive("*.*", dir, true, false);
    state.PauseTiming();
    settle(a, "ours");
    if (!report.empty()) {
      state.SkipWithError(report.text().c_str());
      break;
    }
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * a.modBytes));
}

void BM_Unzip(benchmark::State& state, const Archives& a) {
  for (auto _ : state) {
    state.PauseTiming();
    const std::string dir = a.freshFolder("unzip");
    state.ResumeTiming();
    const bool ok = runUnzip(a.mod, dir);
    state.PauseTiming();
    settle(a, "unzip");
    if (!ok) {
      state.SkipWithError("unzip failed or is not installed");
      break;
    }
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * a.modBytes));
}

// The ZIP library turns every entry's DOS time into a time_t with mktime, and
// the C library re-reads the time zone file for each call unless TZ is set.
// The launcher sets TZ once at its start when it is unset; both are measured.
void BM_ListArchive(benchmark::State& state, const Archives& a, bool tzSet) {
  const char* inherited = std::getenv("TZ");
  const std::string saved = inherited != nullptr ? inherited : "";
  if (tzSet) {
    ::setenv("TZ", ":/etc/localtime", 0);
  } else {
    ::unsetenv("TZ");
  }
  for (auto _ : state) {
    fdk::Tzipform zip;
    if (!zip.ListArchive(a.many).ok()) return state.SkipWithError("cannot list the archive");
    benchmark::DoNotOptimize(zip.size());
  }
  state.counters["entries"] = kListEntries;
  if (inherited != nullptr) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const Archives archives;
  // Listed one after the other with several repetitions, so both tools meet
  // the same machine state; compare the medians.
  benchmark::RegisterBenchmark("ExtractArchive/mod_200MB_2000_entries",
                               [&](benchmark::State& s) { BM_ExtractArchive(s, archives); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(3)
      ->Repetitions(3);
  benchmark::RegisterBenchmark("unzip -n -q/mod_200MB_2000_entries",
                               [&](benchmark::State& s) { BM_Unzip(s, archives); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(3)
      ->Repetitions(3);
  benchmark::RegisterBenchmark("ListArchive/50000_entries/TZ_unset", [&](benchmark::State& s) {
    BM_ListArchive(s, archives, false);
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("ListArchive/50000_entries/TZ_set", [&](benchmark::State& s) {
    BM_ListArchive(s, archives, true);
  })->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
