// Loading a settings file grows with its size and nothing else: files of bare
// line ends (the worst a damaged file can hold) and of keys in one section, from
// 64 KiB to the 1 MiB limit, each parsed and then read for every key the
// launcher knows. Goal: the time per byte stays flat (BigO reports N), and the
// largest file accepted loads in a fraction of a second.
// Run: build/bench/fragdock_ini_bench
#include <benchmark/benchmark.h>

#include <string>

#include "core/store/ini.h"

namespace {

std::string bareLineEnds(std::size_t bytes) { return "[Quake 1]\n" + std::string(bytes, '\n') + "EXE=q.exe\n"; }

std::string manyKeys(std::size_t bytes) {
  std::string text = "[Quake 1]\n";
  for (int i = 0; text.size() < bytes; ++i) text += "key" + std::to_string(i) + "=value\n";
  return text;
}

// About as many reads as loading the settings makes.
void readEveryKey(const fdk::IniFile& ini) {
  for (int i = 0; i < 110; ++i) benchmark::DoNotOptimize(ini.read("Quake 1", "key" + std::to_string(i * 7)));
}

template <std::string (*Make)(std::size_t)>
void BM_Load(benchmark::State& state) {
  const std::string text = Make(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) readEveryKey(fdk::IniFile::parse(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.SetComplexityN(state.range(0));
}
BENCHMARK_TEMPLATE(BM_Load, bareLineEnds)
    ->RangeMultiplier(4)
    ->Range(64 << 10, fdk::kMaxIniBytes)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_TEMPLATE(BM_Load, manyKeys)
    ->RangeMultiplier(4)
    ->Range(64 << 10, fdk::kMaxIniBytes)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
