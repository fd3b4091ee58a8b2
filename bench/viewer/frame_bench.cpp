// Frames per second of meshpeek's whole frame at 640 × 480: clear, draw the
// demo figure, swap. Once with presenting switched off, once presented into
// an SDL window (run with SDL_VIDEODRIVER=dummy or offscreen when headless).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "glide.h"
#include "meshpeek/draw.h"
#include "meshpeek/skin.h"
#include "modelgen/figure.h"
#include "modelgen/skins.h"
#include "modelgen/writers.h"

namespace {

struct Scene {
  meshpeek::Model model;
  std::vector<GrVertex> scratch = std::vector<GrVertex>(64);
};

Scene makeScene() {
  Scene scene;
  auto md2 = formats::parseMd2(modelgen::encodeMd2(modelgen::buildFigure({}, {"blue.pcx"})), "scout");
  scene.model.md2 = std::move(md2.value());
  scene.model.flatX = 320 - 128, scene.model.flatY = 240 - 128;
  const modelgen::SkinTheme blue{"blue", modelgen::kBlue, modelgen::kNavy, modelgen::kBrown};
  const auto pcx = modelgen::encodePcx(256, 256, modelgen::paintSkin(blue), modelgen::demoPalette());
  auto picture = formats::decodePcx(pcx, "blue.pcx");
  auto texture = meshpeek::prepareSkinTexture(picture.value());
  auto& t = texture.value();
  if (!meshpeek::uploadSkinTexture(t)) std::abort();
  scene.model.sScale = t.sScale, scene.model.tScale = t.tScale;
  return scene;
}

void openGlide() {
  grGlideInit();
  grSstOpen(GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, GR_SMOOTHING_ENABLE, 2);
}

void runFrames(benchmark::State& state, Scene& scene) {
  meshpeek::DrawParams params;
  float position = 0;
  for (auto _ : state) {
    grBufferClear(0, 0, 0xFFFF);
    params.frame = static_cast<long long>(position);
    params.fraction = position - static_cast<float>(params.frame);
    params.rotationV += 1.0f;
    meshpeek::drawModel(scene.model, params, scene.scratch);
    grBufferSwap(1);
    position += 0.125f;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FrameWithoutPresenting(benchmark::State& state) {
  openGlide();
  Scene scene = makeScene();
  grSstPassthruMode(GR_PASSTHRU_SHOW_VGA);  // swap returns at once
  runFrames(state, scene);
  grGlideShutdown();
}
BENCHMARK(BM_FrameWithoutPresenting)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_FramePresented(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  SDL_Window* window = SDL_CreateWindow("MeshPeek", 0, 0, 640, 480, SDL_WINDOW_SHOWN);
  openGlide();
  Scene scene = makeScene();
  runFrames(state, scene);
  grGlideShutdown();
  SDL_DestroyWindow(window);
  SDL_Quit();
}
BENCHMARK(BM_FramePresented)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A skin change: decode, resample to 256 × 256 and download.
void BM_SkinChange(benchmark::State& state) {
  openGlide();
  const modelgen::SkinTheme red{"red", modelgen::kRed, modelgen::kDarkRed, modelgen::kYellow};
  const auto pcx = modelgen::encodePcx(256, 256, modelgen::paintSkin(red), modelgen::demoPalette());
  for (auto _ : state) {
    auto picture = formats::decodePcx(pcx, "red.pcx");
    auto texture = meshpeek::prepareSkinTexture(picture.value());
    benchmark::DoNotOptimize(meshpeek::uploadSkinTexture(texture.value()).ok());
  }
  grGlideShutdown();
}
BENCHMARK(BM_SkinChange)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
