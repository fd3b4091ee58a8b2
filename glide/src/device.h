// The one device: every piece of state the library keeps, in one struct.
// The interface has no handles, so this is the library's single global.
#pragma once

#include <cstddef>
#include <cstdint>

#include "glide.h"

namespace glide {

inline constexpr int kBufferSide = 1024;              // colour and depth buffers are square
// 8:8:8 staging covers the whole buffer, as the colour buffer does, so a caller that
// writes every row of the screen at the stride the lock reports stays inside it.
inline constexpr int kStagingRows = kBufferSide;
inline constexpr std::size_t kTexMemSize = 0x200000;  // 2 MiB of texture memory
inline constexpr std::size_t kBuiltinTexSize = 256;   // the 16 x 16 texture used before any source

enum class Cull { None, DropNegative, DropPositive };

// How spans are drawn: the reference loop a pixel at a time, or 4 (SSE2) or 8 (AVX2)
// pixels per step with the same integer steps, giving the same pixels and depths.
enum class SpanPath : std::uint8_t { Scalar, Sse2, Avx2 };

// One channel of the colour-format table: (colour & mask) >> shift gives 0..255.
struct Channel {
  std::uint32_t mask;
  int shift;
};

// The texture that filled triangles sample. base/size bound every texel read.
struct TexSource {
  const std::uint8_t *base;  // texture memory or the built-in texture
  std::size_t size;          // bytes readable from base
  std::int64_t start;        // byte offset of texel (0, 0) from base; may lie outside
  int width_log;             // texture width is 1 << width_log texels
  float s_scale;
  float t_scale;
};

// No member initialisers: the one instance has static storage and starts all zero
// (no screen, every flag off, no culling), which is the state at load.
struct Device {
  alignas(64) std::uint16_t color[kBufferSide * kBufferSide];
  // Moves the depth buffer half a row (1 KiB) off the colour buffer's cache sets.
  // Rows are 2 KiB apart in both buffers, so without it a pixel's colour and depth
  // share cache sets, and the sets a screen row uses (the first 1280 bytes of every
  // 2 KiB at 640 pixels) hold both buffers' lines while the others hold none: the
  // frames of small triangles were some 7 % slower, the clear some 12 %.
  std::uint8_t depth_skew[kBufferSide];
  alignas(64) std::int16_t depth[kBufferSide * kBufferSide];
  alignas(64) std::uint8_t staging[kStagingRows * kBufferSide * 4];
  alignas(64) std::uint8_t texmem[kTexMemSize];
  alignas(64) std::uint8_t builtin_tex[kBuiltinTexSize];
  std::uint16_t palette[256];

  int width;
  int height;
  Channel red, green, blue, alpha;
  std::uint16_t constant_color;

  bool presenting;
  bool wireframe;
  bool statistics;

  GrLfbWriteMode_t lfb_write_mode;
  std::uint8_t lfb_constant_alpha;
  bool blending;

  // Frame statistics: start of the current group of 32 frames in milliseconds
  // (0 = not started), frames in it so far, and the last measured rate.
  std::int64_t stats_start_ms;
  int stats_frames;
  float fps;

  Cull cull;
  SpanPath span_path;  // chosen when the screen opens
  TexSource tex;
  // The values of the last clear, when every pixel outside `drawn` still holds them
  // (see clear_rows).
  struct {
    bool known;
    std::uint16_t color;
    std::uint16_t depth;
  } cleared;
  // Bit i of drawn[y]: pixels 32 i .. 32 i + 31 of row y may have been written since
  // the last clear, in either buffer. 32 pixels are one cache line of each buffer.
  std::uint32_t drawn[kBufferSide];
  bool clear_upward;  // the way the last clear ran (see clear_rows)
};

extern Device dev;

// Marks columns x0 .. x1 - 1 of rows y0 .. y1 - 1, all inside the buffers, as drawn.
inline void mark_drawn(int y0, int y1, int x0, int x1) {
  static_assert(kBufferSide == 32 * 32, "one bit of a row's word for each 32 pixels");
  if (x1 <= x0) return;
  const std::uint32_t bits = (~0u >> (31 - ((x1 - 1) >> 5))) & (~0u << (x0 >> 5));
  for (int y = y0; y < y1; ++y) dev.drawn[y] |= bits;
}

// Converts a packed colour through the colour-format table into 565.
std::uint16_t color_to_565(GrColor_t color);
// Resets the palette and selects the built-in texture (part of opening the screen).
void reset_texture_state();

}  // namespace glide
