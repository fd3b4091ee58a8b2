// Writes the seed scenes of the span fuzz target (scene_bytes.h layout).
//   glide_fuzz_seeds CORPUS_DIR  (makes spans/ inside)
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "scene_bytes.h"

namespace fs = std::filesystem;
using namespace glide_fuzz;

namespace {

struct Corner {
  float x, y, oow, s, t;  // s and t in texels, not yet times 1/w
};

// The scaled encodings of scene_bytes.h, inverted.
void put_corner(std::vector<std::uint8_t> &out, const Corner &c) {
  put_u32(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(c.x * 16)));
  put_u32(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(c.y * 16)));
  put_u32(out, static_cast<std::uint32_t>(c.oow * 2097152.0f));
  put_u32(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(c.s * 64)));
  put_u32(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(c.t * 64)));
}

void put_triangle(std::vector<std::uint8_t> &out, const Corner &a, const Corner &b,
                  const Corner &c) {
  out.push_back(0);
  for (const Corner &k : {a, b, c}) put_corner(out, k);
}

void write(const fs::path &file, const std::vector<std::uint8_t> &bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Small triangles as a model makes them, each an 8-pixel right triangle.
std::vector<std::uint8_t> small_triangles() {
  std::vector<std::uint8_t> out;
  put_header(out, {0, 0, 3, 0, 7, 0});
  for (int i = 0; i < 24; ++i) {
    const float x = static_cast<float>(17 + 23 * i % 290), y = static_cast<float>(9 + 37 * i % 220);
    const float q = 0.002f + 0.001f * static_cast<float>(i);
    put_triangle(out, {x, y, q, 10, 10}, {x + 8, y, q, 18, 10}, {x, y + 8, q, 10, 18});
  }
  return out;
}

// A pair covering the fuzz target's 320 x 240 screen and a steep one through it.
std::vector<std::uint8_t> screen_pair() {
  std::vector<std::uint8_t> out;
  put_header(out, {0, 1, 3, 0, 99, 0});
  put_triangle(out, {0, 0, 0.01f, 0, 0}, {320, 0, 0.01f, 127, 0}, {0, 240, 0.01f, 0, 127});
  put_triangle(out, {320, 0, 0.01f, 127, 0}, {320, 240, 0.01f, 127, 127}, {0, 240, 0.01f, 0, 127});
  put_triangle(out, {0, 0, 0.0f, 0, 0}, {320, 0, 0.03f, 200, 0}, {0, 240, 0.0f, 0, 0});
  return out;
}

// Over every screen edge, texture coordinates beyond the texture, a texture that runs
// past the end of texture memory, and a corner at NaN.
std::vector<std::uint8_t> hostile() {
  std::vector<std::uint8_t> out;
  put_header(out, {1, 2, 5, kStartAddress, 3, 0x1FF000});
  put_triangle(out, {-300, 10, 0.02f, 0, 0}, {100, 40, 0.02f, 150, 0}, {-50, 400, 0.02f, 0, 200});
  put_triangle(out, {500, 20, 0.02f, -400, 0}, {900, 60, 0.02f, 400, 0}, {550, 300, 0.02f, 0, 400});
  put_triangle(out, {100, -200, 0.02f, 0, 0}, {400, 700, 0.02f, 300, 300}, {20, 600, 0.02f, 0, 50});
  put_triangle(out, {10, 10, 0.02f, 0, 0}, {60, 10, 0.02f, 9, 0}, {10, 60, 0.02f, 0, 9});
  out[out.size() - 60 - 1] = kRawPosition;  // the last triangle's corners as raw floats
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::uint32_t bits;
  std::memcpy(&bits, &nan, 4);
  for (int i = 0; i < 4; ++i) out[out.size() - 60 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  return out;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: glide_fuzz_seeds CORPUS_DIR\n");
    return 2;
  }
  const fs::path dir = fs::path(argv[1]) / "spans";
  fs::create_directories(dir);
  write(dir / "small.bin", small_triangles());
  write(dir / "screen.bin", screen_pair());
  write(dir / "hostile.bin", hostile());
  return 0;
}
