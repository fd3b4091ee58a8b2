// Filling a start-map list over a game folder of 50 PAKs totalling about
// 1 GB with 40,000 directory entries (a fifth of them maps):
//  - the first fill lists every PAK and writes every content file; goal under 300 ms;
//  - a later fill reads only the content files; goal under 30 ms.
// And a crafted PAK whose directory holds 1,048,576 map entries (64 MiB): its
// listing keeps only the first 65,536 names and stops there, so the peak
// memory of the process (max_rss_MiB) stays near that of the small folder.
// The PAKs are sparse (header and directory written, data left as holes) and
// are generated once per run into a temporary folder.
// Run: build/bench/fragdock_pakcontent_bench
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/archive/catalogue.h"
#include "core/content/pakcontent.h"
#include "testing/tempdir.h"

namespace {

constexpr int kPaks = 50;
constexpr int kEntriesPerPak = 800;             // 40,000 in all
constexpr std::uint64_t kPakBytes = 20u << 20;  // about 1 GB in all

void putI32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Every fifth entry is a map; the rest are the sounds and models a PAK is mostly made of.
std::vector<std::uint8_t> directoryOf(int pak, std::uint64_t dataBytes) {
  std::vector<std::uint8_t> directory(kEntriesPerPak * 64, 0);
  const std::uint64_t each = dataBytes / kEntriesPerPak;
  for (int i = 0; i < kEntriesPerPak; ++i) {
    const std::string name = i % 5 == 0 ? "maps/p" + std::to_string(pak) + "m" + std::to_string(i) + ".bsp"
                                        : "sound/misc/p" + std::to_string(pak) + "s" + std::to_string(i) + ".wav";
    const std::size_t at = static_cast<std::size_t>(i) * 64;
    std::copy(name.begin(), name.end(), directory.begin() + static_cast<std::ptrdiff_t>(at));
    putI32(directory, at + 56, static_cast<std::uint32_t>(12 + i * each));
    putI32(directory, at + 60, static_cast<std::uint32_t>(each));
  }
  return directory;
}

struct GameFolder {
  fdk::TempDir dir;
  fdk::MapChoiceRequest request;

  GameFolder() {
    request.game = fdk::Game::Quake1;
    request.gameFolder = dir.folder() + "quake/";
    request.scratchFolder = dir.folder();
    const std::uint64_t directoryBytes = kEntriesPerPak * 64;
    for (int p = 0; p < kPaks; ++p) {
      std::vector<std::uint8_t> header = {'P', 'A', 'C', 'K', 0, 0, 0, 0, 0, 0, 0, 0};
      putI32(header, 4, static_cast<std::uint32_t>(kPakBytes - directoryBytes));
      putI32(header, 8, static_cast<std::uint32_t>(directoryBytes));
      const std::string folder = p < kPaks / 2 ? "quake/id1/" : "quake/id1/addons/";
      dir.writeSparse(folder + "pak" + std::to_string(p) + ".pak", header, kPakBytes,
                      directoryOf(p, kPakBytes - directoryBytes - 12));
    }
  }

  void removeContentFiles() const {
    for (const std::string& pak : fdk::FindPaks(request.gameFolder + "id1/"))
      std::filesystem::remove(fdk::PakContentPath(pak));
  }
};

struct Silent : fdk::PakContentHost {
  bool Ask(std::string_view) override { return true; }
};

GameFolder& folder() {
  static GameFolder tree;
  return tree;
}

fdk::MapChoice fill() {
  fdk::PakContentState state;
  state.listing = fdk::RunAnswer::Yes;
  fdk::Tzipform zip;
  Silent host;
  return fdk::FillMapChoice(folder().request, state, zip, host);
}

void BM_FirstFill(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    folder().removeContentFiles();
    state.ResumeTiming();
    benchmark::DoNotOptimize(fill());
  }
  state.counters["maps"] = static_cast<double>(fill().items.size());
}
BENCHMARK(BM_FirstFill)->Unit(benchmark::kMillisecond);

void BM_CachedFill(benchmark::State& state) {
  fill();  // every content file is there
  for (auto _ : state) benchmark::DoNotOptimize(fill());
}
BENCHMARK(BM_CachedFill)->Unit(benchmark::kMillisecond);

constexpr std::uint32_t kHugeEntries = 1u << 20;

// Directory only, no member data: every entry a map with a long name. Written
// a block at a time, so building it adds nothing to the peak being measured.
std::string hugePak(const fdk::TempDir& dir) {
  std::vector<std::uint8_t> header = {'P', 'A', 'C', 'K', 12, 0, 0, 0, 0, 0, 0, 0};
  putI32(header, 8, kHugeEntries * 64);
  const std::string path = dir.write("quake2/baseq2/pak0.pak", header);
  std::ofstream out(path, std::ios::binary | std::ios::app);
  std::vector<char> block(1024 * 64);
  for (std::uint32_t first = 0; first < kHugeEntries; first += 1024) {
    std::fill(block.begin(), block.end(), '\0');
    for (std::uint32_t i = 0; i < 1024; ++i) {
      const std::string name = "maps/crafted_map_with_a_long_name_" + std::to_string(first + i) + ".bsp";
      std::copy(name.begin(), name.end(), block.begin() + static_cast<std::ptrdiff_t>(i) * 64);
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  return path;
}

double maxRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux reports KiB
}

void BM_HugeDirectory(benchmark::State& state) {
  fdk::TempDir dir;
  const std::string pak = hugePak(dir);
  fdk::MapChoiceRequest request;
  request.game = fdk::Game::Quake2;
  request.gameFolder = dir.folder() + "quake2/";
  request.scratchFolder = dir.folder();
  std::size_t listed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(fdk::PakContentPath(pak));
    state.ResumeTiming();
    fdk::PakContentState pakState;
    pakState.listing = fdk::RunAnswer::Yes;
    fdk::Tzipform zip;
    Silent host;
    listed = fdk::FillMapChoice(request, pakState, zip, host).items.size();
  }
  state.counters["maps"] = static_cast<double>(listed);
  state.counters["max_rss_MiB"] = maxRssMiB();
}
BENCHMARK(BM_HugeDirectory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
