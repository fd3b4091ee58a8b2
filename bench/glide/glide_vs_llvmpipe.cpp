// glide against Mesa's llvmpipe (through OSMesa, single-threaded) on the same three
// workloads at 640 x 480 with a 16-bit colour and depth buffer, a 256 x 256 texture
// sampled at the nearest texel and no blending:
//   fill  - 50 screen-covering, depth-passing textured triangle pairs per frame;
//   model - 1,000 textured triangles of 32 pixels each plus a clear per frame;
//   clear - colour and depth, the same values each time; glide finds nothing drawn
//           since the last clear and has nothing to do;
//   clearnew - colour and depth with another colour each time: every pixel is written
//           (glide writes whole 1024-pixel buffer rows, llvmpipe its 640-pixel ones).
// glide runs each workload with each form of its span loop (GLIDE_SPANS): the scalar
// reference, SSE2 (4 pixels per step) and AVX2 (8). After the runs it prints each
// figure for every renderer and each glide form's ratio to llvmpipe. Times are CPU
// times: both renderers run on the calling thread, and CPU time is steadier than wall
// time on a machine shared with other work.
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "glide.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFillPairs = 50;
constexpr int kModelTriangles = 1000;

// One triangle corner in screen pixels, a nearness in 0..1 (1 nearest), and texture
// coordinates in 0..1.
struct Corner {
  float x, y, near, u, v;
};

std::vector<Corner> fill_corners() {
  std::vector<Corner> out;
  for (int i = 0; i < kFillPairs; ++i) {
    const float n = 0.05f + 0.9f * static_cast<float>(i) / kFillPairs;  // each pair nearer
    const Corner tl{0, 0, n, 0, 0}, tr{kWidth, 0, n, 1, 0}, bl{0, kHeight, n, 0, 1},
        br{kWidth, kHeight, n, 1, 1};
    out.insert(out.end(), {tl, tr, bl, tr, br, bl});
  }
  return out;
}

// Right triangles with 8-pixel legs (32 pixels) scattered over the screen.
std::vector<Corner> model_corners() {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> x(0, kWidth - 9), y(0, kHeight - 9), n(0.05f, 0.95f),
      uv(0, 0.9f);
  std::vector<Corner> out;
  for (int i = 0; i < kModelTriangles; ++i) {
    const float px = static_cast<float>(static_cast<int>(x(rng)));
    const float py = static_cast<float>(static_cast<int>(y(rng)));
    const float depth = n(rng), u = uv(rng), v = uv(rng), d = 8.0f / 256.0f;
    out.insert(out.end(), {{px, py, depth, u, v}, {px + 8, py, depth, u + d, v},
                           {px, py + 8, depth, u, v + d}});
  }
  return out;
}

std::vector<std::uint8_t> texture_indices() {
  std::vector<std::uint8_t> t(256 * 256);
  for (int i = 0; i < 256 * 256; ++i) t[i] = static_cast<std::uint8_t>((i >> 3) ^ (i >> 11));
  return t;
}

// ---- glide -----------------------------------------------------------------------

// Nearness maps to 1/w below 1/32, where the 16-bit depth keeps its order.
GrVertex glide_vertex(const Corner &c) {
  GrVertex v{};
  v.x = c.x;
  v.y = c.y;
  v.oow = 0.001f + c.near * 0.029f;
  v.tmuvtx[0].sow = c.u * 255.0f * v.oow;
  v.tmuvtx[0].tow = c.v * 255.0f * v.oow;
  v.tmuvtx[0].oow = v.oow;
  return v;
}

std::vector<GrVertex> to_glide(const std::vector<Corner> &corners) {
  std::vector<GrVertex> out;
  for (const Corner &c : corners) out.push_back(glide_vertex(c));
  return out;
}

// The span loop forms, as GLIDE_SPANS names them; glide reads it when the screen opens.
constexpr const char *kPaths[] = {"scalar", "sse2", "avx2"};

bool processor_runs(const std::string &path) {
#if defined(__x86_64__)
  if (path == "avx2") return __builtin_cpu_supports("avx2");
  return true;
#else
  return path == "scalar";
#endif
}

void glide_setup(const char *path) {
  setenv("GLIDE_SPANS", path, 1);
  grGlideInit();
  grSstOpen(GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT,
            GR_SMOOTHING_ENABLE, 2);
  std::uint32_t palette[256];
  for (std::uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010305u;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  static std::vector<std::uint8_t> texels = texture_indices();
  GrTexInfo info{GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, texels.data()};
  grTexDownloadMipMap(GR_TMU0, grTexMinAddress(GR_TMU0), GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexSource(GR_TMU0, grTexMinAddress(GR_TMU0), GR_MIPMAPLEVELMASK_BOTH, &info);
}

void glide_draw(const std::vector<GrVertex> &v) {
  grBufferClear(0, 0, 0);
  for (std::size_t i = 0; i + 2 < v.size(); i += 3) grDrawTriangle(&v[i], &v[i + 1], &v[i + 2]);
}

// ---- llvmpipe through OSMesa -------------------------------------------------------

std::vector<std::uint16_t> gl_pixels(kWidth * kHeight);
OSMesaContext gl_context = nullptr;

bool gl_setup() {
  if (gl_context == nullptr) {
    gl_context = OSMesaCreateContextExt(OSMESA_RGB_565, 16, 0, 0, nullptr);
    if (gl_context == nullptr) return false;
  }
  if (!OSMesaMakeCurrent(gl_context, gl_pixels.data(), GL_UNSIGNED_SHORT_5_6_5, kWidth, kHeight)) {
    return false;
  }
  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWidth, kHeight, 0, -1, 1);  // larger z is nearer
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glDisable(GL_BLEND);
  GLuint tex = 0;
  glGenTextures(1, &tex);
  glBindTexture(GL_TEXTURE_2D, tex);
  std::vector<std::uint16_t> rgb(256 * 256);
  const std::vector<std::uint8_t> idx = texture_indices();
  for (int i = 0; i < 256 * 256; ++i) rgb[i] = static_cast<std::uint16_t>(idx[i] * 0x0841u);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, rgb.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnable(GL_TEXTURE_2D);
  glClearColor(0, 0, 0, 1);
  glClearDepth(1.0);
  return true;
}

struct GlArrays {
  std::vector<float> xyz, uv;
};

GlArrays to_gl(const std::vector<Corner> &corners) {
  GlArrays a;
  for (const Corner &c : corners) {
    a.xyz.insert(a.xyz.end(), {c.x, c.y, c.near * 1.8f - 0.9f});
    a.uv.insert(a.uv.end(), {c.u, c.v});
  }
  return a;
}

void gl_draw(const GlArrays &a) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, a.xyz.data());
  glTexCoordPointer(2, GL_FLOAT, 0, a.uv.data());
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(a.xyz.size() / 3));
  glFinish();
}

// ---- the workloads -----------------------------------------------------------------

constexpr double kFillPixels = double{kFillPairs} * kWidth * kHeight;

// A counter of `amount` per iteration, reported per second.
benchmark::Counter per_second(double amount) {
  return benchmark::Counter(amount, benchmark::Counter::kIsIterationInvariantRate);
}

// Skips the run when the processor lacks the span loop form.
bool glide_ready(benchmark::State &state, const char *path) {
  if (!processor_runs(path)) {
    state.SkipWithError("the processor cannot run this span loop");
    return false;
  }
  glide_setup(path);
  return true;
}

void BM_Fill_glide(benchmark::State &state, const char *path) {
  if (!glide_ready(state, path)) return;
  const std::vector<GrVertex> v = to_glide(fill_corners());
  for (auto _ : state) glide_draw(v);
  state.counters["rate"] = per_second(kFillPixels * 1e-6);
}

void BM_Fill_llvmpipe(benchmark::State &state) {
  if (!gl_setup()) return state.SkipWithError("no OSMesa context");
  const GlArrays a = to_gl(fill_corners());
  for (auto _ : state) gl_draw(a);
  state.counters["rate"] = per_second(kFillPixels * 1e-6);
}

void BM_Model_glide(benchmark::State &state, const char *path) {
  if (!glide_ready(state, path)) return;
  const std::vector<GrVertex> v = to_glide(model_corners());
  for (auto _ : state) glide_draw(v);
  state.counters["rate"] = per_second(1);
}

void BM_Model_llvmpipe(benchmark::State &state) {
  if (!gl_setup()) return state.SkipWithError("no OSMesa context");
  const GlArrays a = to_gl(model_corners());
  for (auto _ : state) gl_draw(a);
  state.counters["rate"] = per_second(1);
}

// Clears colour and depth once an iteration: with `alternate` the colour turns between
// two values, so that every pixel is written, else it is the same each time.
void glide_clears(benchmark::State &state, const char *path, bool alternate) {
  if (!glide_ready(state, path)) return;
  bool second = false;
  for (auto _ : state) {
    second = alternate && !second;
    grBufferClear(second ? 0x00302010 : 0x00102030, 0, 0);
  }
  state.counters["rate"] = per_second(1);
}

void gl_clears(benchmark::State &state, bool alternate) {
  if (!gl_setup()) return state.SkipWithError("no OSMesa context");
  bool second = false;
  for (auto _ : state) {
    if (alternate) {
      second = !second;
      glClearColor(second ? 0.19f : 0.06f, 0.13f, second ? 0.06f : 0.19f, 1);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
  }
  state.counters["rate"] = per_second(1);
}

void BM_Clear_glide(benchmark::State &state, const char *path) { glide_clears(state, path, false); }
void BM_Clear_llvmpipe(benchmark::State &state) { gl_clears(state, false); }
void BM_ClearNew_glide(benchmark::State &state, const char *path) { glide_clears(state, path, true); }
void BM_ClearNew_llvmpipe(benchmark::State &state) { gl_clears(state, true); }

#define GLIDE_FORMS(bm, unit)                                       \
  BENCHMARK_CAPTURE(bm, scalar, "scalar")->Unit(benchmark::unit); \
  BENCHMARK_CAPTURE(bm, sse2, "sse2")->Unit(benchmark::unit);     \
  BENCHMARK_CAPTURE(bm, avx2, "avx2")->Unit(benchmark::unit)

GLIDE_FORMS(BM_Fill_glide, kMillisecond);
BENCHMARK(BM_Fill_llvmpipe)->Unit(benchmark::kMillisecond);
GLIDE_FORMS(BM_Model_glide, kMicrosecond);
BENCHMARK(BM_Model_llvmpipe)->Unit(benchmark::kMicrosecond);
GLIDE_FORMS(BM_Clear_glide, kMicrosecond);
BENCHMARK(BM_Clear_llvmpipe)->Unit(benchmark::kMicrosecond);
GLIDE_FORMS(BM_ClearNew_glide, kMicrosecond);
BENCHMARK(BM_ClearNew_llvmpipe)->Unit(benchmark::kMicrosecond);

// Keeps the "rate" counter of every run for the comparison table.
class RateCollector : public benchmark::ConsoleReporter {
 public:
  RateCollector() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &r : runs) {
      // With repetitions only the median counts; a single run counts as it is.
      const bool usable = r.run_type == Run::RT_Iteration || r.aggregate_name == "median";
      const auto it = r.counters.find("rate");
      if (usable && !r.error_occurred && it != r.counters.end()) {
        rates[r.run_name.function_name] = it->second.value;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> rates;
};

// A rate from the collected runs, or 0 when the run is missing or was skipped.
double rate_of(const std::map<std::string, double> &rates, const std::string &name) {
  const auto it = rates.find(name);
  return it == rates.end() ? 0.0 : it->second;
}

// One row per workload: llvmpipe, each glide form, then each form's ratio to llvmpipe.
void print_table(const std::map<std::string, double> &rates) {
  const struct {
    const char *name, *unit;
  } rows[] = {{"Fill", "Mpixels/s"},
               {"Model", "frames/s"},
               {"Clear", "clears/s"},
               {"ClearNew", "clears/s"}};
  std::printf("\n%-8s %-10s %10s", "workload", "unit", "llvmpipe");
  for (const char *path : kPaths) std::printf(" %10s", path);
  for (const char *path : kPaths) std::printf(" %7s", path);
  std::printf("\n");
  for (const auto &row : rows) {
    const std::string base = std::string("BM_") + row.name;
    const double gl = rate_of(rates, base + "_llvmpipe");
    std::printf("%-8s %-10s %10.1f", row.name, row.unit, gl);
    for (const char *path : kPaths) std::printf(" %10.1f", rate_of(rates, base + "_glide/" + path));
    for (const char *path : kPaths) {
      const double g = rate_of(rates, base + "_glide/" + path);
      if (g > 0 && gl > 0) {
        std::printf(" %6.2fx", g / gl);
      } else {
        std::printf(" %7s", "-");
      }
    }
    std::printf("\n");
  }
}

}  // namespace

// Without repetitions of its own choosing, a run repeats each workload nine times in
// random order across both renderers: on a shared machine a slow phase then costs
// both sides alike instead of one, and the table takes the medians.
std::vector<char *> with_default_repetitions(int argc, char **argv) {
  std::vector<char *> args(argv, argv + argc);
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0) return args;
  }
  static char repetitions[] = "--benchmark_repetitions=9";
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  static char aggregates[] = "--benchmark_report_aggregates_only=true";
  args.insert(args.begin() + 1, {repetitions, interleave, aggregates});
  return args;
}

int main(int argc, char **argv) {
  setenv("LP_NUM_THREADS", "0", 1);  // llvmpipe rasterizes on the calling thread
  std::vector<char *> args = with_default_repetitions(argc, argv);
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  argv = args.data();
  argc = count;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (gl_setup()) std::printf("OpenGL renderer: %s\n", glGetString(GL_RENDERER));
  RateCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  print_table(reporter.rates);
  benchmark::Shutdown();
  return 0;
}
