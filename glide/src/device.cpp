// Device state, the screen, the colour and depth buffers, constant colours and the
// calls that only store a value or do nothing.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "device.h"
#include "present.h"
#include "span.h"

namespace glide {

Device dev;

namespace {

struct ScreenSize {
  int width;
  int height;
};

constexpr ScreenSize kResolutions[] = {
    {320, 200}, {320, 240}, {400, 256}, {512, 384}, {640, 200}, {640, 350},
    {640, 400}, {640, 480}, {800, 600}, {960, 720}, {856, 480}, {512, 256},
};

// The clear and the staging conversion work on whole screen rows without clipping,
// which holds only while every screen fits the buffers.
constexpr bool buffers_hold_every_screen() {
  for (const ScreenSize &s : kResolutions) {
    if (s.width > kBufferSide || s.height > kStagingRows) return false;
  }
  return true;
}
static_assert(buffers_hold_every_screen());

struct ColorFormat {
  Channel red, green, blue, alpha;
};

constexpr ColorFormat kColorFormats[] = {
    {{0x00FF0000, 16}, {0x0000FF00, 8}, {0x000000FF, 0}, {0xFF000000, 24}},  // ARGB
    {{0x000000FF, 0}, {0x0000FF00, 8}, {0x00FF0000, 16}, {0xFF000000, 24}},  // ABGR
    {{0xFF000000, 24}, {0x00FF0000, 16}, {0x0000FF00, 8}, {0x000000FF, 0}},  // RGBA
    {{0x0000FF00, 8}, {0x00FF0000, 16}, {0xFF000000, 24}, {0x000000FF, 0}},  // BGRA
};

std::uint16_t pack_565(unsigned red, unsigned green, unsigned blue) {
  return static_cast<std::uint16_t>(((red & 0xF8u) << 8) | ((green & 0xFCu) << 3) | (blue >> 3));
}

unsigned component(GrColor_t color, Channel c) { return (color & c.mask) >> c.shift; }

// A float colour component rounded to 0..255. Values outside that range are
// clamped so that one channel cannot spill into the bits of another; NaN is 0.
unsigned float_component(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 255.0f) return 255;
  return static_cast<unsigned>(std::nearbyint(v));
}

void select_color_format(GrColorFormat_t format) {
  const ColorFormat &f = kColorFormats[(format >= 1 && format <= 3) ? format : 0];
  dev.red = f.red;
  dev.green = f.green;
  dev.blue = f.blue;
  dev.alpha = f.alpha;
}

// Fills n 16-bit values with one value. wchar_t is 32 bits here, so the C library's
// wmemset fills two pixels per element with its widest stores for this processor.
void fill_pixels(void *buffer, std::size_t n, std::uint16_t value) {
  static_assert(sizeof(wchar_t) == 4, "two pixels per wide character");
  const auto pair = static_cast<wchar_t>(value * 0x00010001u);
  std::wmemset(static_cast<wchar_t *>(buffer), pair, n / 2);
  if (n % 2 != 0) static_cast<std::uint16_t *>(buffer)[n - 1] = value;
}

// Anything that may have written anywhere in the buffers makes the next clear cover
// everything.
void forget_cleared() { dev.cleared.known = false; }

// Clears pixels 32 i .. of row y for every run of set bits i in `bits`.
void clear_drawn(int y, std::uint32_t bits, std::uint16_t color, std::uint16_t depth) {
  while (bits != 0) {
    const int first = std::countr_zero(bits), count = std::countr_one(bits >> first);
    const std::size_t at = static_cast<std::size_t>(y) * kBufferSide + first * 32u;
    fill_pixels(dev.color + at, count * 32u, color);
    fill_pixels(dev.depth + at, count * 32u, depth);
    bits &= bits + (1u << first);  // the carry runs through the run and clears it
  }
}

// A clear with new values covers whole buffer rows, beyond the screen width too. A
// clear with the last clear's values covers only what was drawn since, at 32 pixels
// a bit: the rest still holds those values. Frames of a model drawn over part of the
// screen clear only that part.
void clear_rows(int rows, std::uint16_t color, std::uint16_t depth) {
  if (!dev.cleared.known || dev.cleared.color != color || dev.cleared.depth != depth) {
    const std::size_t pixels = static_cast<std::size_t>(rows) * kBufferSide;
    fill_pixels(dev.color, pixels, color);
    fill_pixels(dev.depth, pixels, depth);
    std::fill(dev.drawn, dev.drawn + rows, 0u);
    dev.cleared = {true, color, depth};
    return;
  }
  // Every other clear runs from the bottom row up. A frame's rows hold more cache
  // lines than some cache sets have room for, and a clear that always ran the same way
  // would find every line of such a set evicted by the time it came back to it; turning
  // round, it first meets the lines it left last: clearing all 640 pixels of every row
  // took some 10 % less time.
  dev.clear_upward = !dev.clear_upward;
  for (int i = 0; i < rows; ++i) {
    const int y = dev.clear_upward ? rows - 1 - i : i;
    clear_drawn(y, dev.drawn[y], color, depth);
    dev.drawn[y] = 0;
  }
}

// 8:8:8 staging pixels (byte 0 red, 1 green, 2 blue) into the colour buffer, every
// row of the screen and all 1024 pixels of each.
void convert_staging() {
  const int pixels = dev.height * kBufferSide;
  const std::uint8_t *src = dev.staging;
  std::uint16_t *dst = dev.color;
  forget_cleared();
  for (int i = 0; i < pixels; ++i, src += 4) {
    dst[i] = pack_565(src[0], src[1], src[2]);
  }
}

void zero_staging() { std::memset(dev.staging, 0, sizeof dev.staging); }

bool writes_565(GrLfbWriteMode_t mode) {
  return mode == GR_LFBWRITEMODE_565 || mode == GR_LFBWRITEMODE_555;
}

// The part of a caller's rectangle that lies inside the 1024 x 1024 buffer.
// Computed in 64 bits so that no x + w can overflow.
struct Clip {
  int x0, y0, x1, y1;
  bool empty() const { return x1 <= x0 || y1 <= y0; }
};

Clip clip_to_buffer(int x, int y, int w, int h) {
  auto lo = [](std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, kBufferSide));
  };
  return {lo(x), lo(y), lo(std::int64_t{x} + w), lo(std::int64_t{y} + h)};
}

// Byte offset of buffer pixel (px, py) in the caller's memory, whose pixel (0, 0)
// is buffer pixel (x, y). The stride is taken toward zero to a whole pixel.
std::ptrdiff_t caller_offset(int px, int py, int x, int y, int stride) {
  const std::ptrdiff_t even = stride / 2 * 2;
  return (std::ptrdiff_t{py} - y) * even + (std::ptrdiff_t{px} - x) * 2;
}

// Blending with a non-zero constant alpha only fills pixels that are still black.
void write_row_over_black(std::uint16_t *dst, const unsigned char *src, int n) {
  for (int i = 0; i < n; ++i) {
    std::uint16_t p;
    std::memcpy(&p, src + 2 * i, 2);
    if (dst[i] == 0) dst[i] = p;
  }
}

}  // namespace

std::uint16_t color_to_565(GrColor_t color) {
  return pack_565(component(color, dev.red), component(color, dev.green),
                  component(color, dev.blue));
}

}  // namespace glide

using namespace glide;

extern "C" {

FX_ENTRY void FX_CALL grGlideInit(void) {}

FX_ENTRY void FX_CALL grGlideShutdown(void) { close_presenting(); }

FX_ENTRY void FX_CALL grGlideGetVersion(char version[80]) {
  static const char kVersion[] = "Glide(tm) Version 2.1.1";
  if (version != nullptr) std::memcpy(version, kVersion, sizeof kVersion);
}

FX_ENTRY void FX_CALL grGlideGetState(GrState *) {}
FX_ENTRY void FX_CALL grGlideSetState(const GrState *) {}

FX_ENTRY FxBool FX_CALL grSstQueryHardware(GrHwConfiguration *hw) {
  if (hw == nullptr) return FXTRUE;
  hw->num_sst = 1;
  hw->SSTs[0].type = GR_SSTTYPE_VOODOO;
  GrVoodooConfig_t &v = hw->SSTs[0].sstBoard.VoodooConfig;
  v.fbRam = 2;
  v.fbiRev = 1;
  v.nTexelfx = 1;
  v.sliDetect = FXFALSE;
  v.tmuConfig[0].tmuRev = 1;
  v.tmuConfig[0].tmuRam = 2;
  return FXTRUE;
}

FX_ENTRY FxBool FX_CALL grSstQueryBoards(GrHwConfiguration *hw) { return grSstQueryHardware(hw); }

FX_ENTRY void FX_CALL grSstSelect(int) {}

FX_ENTRY FxBool FX_CALL grSstOpen(GrScreenResolution_t resolution, GrScreenRefresh_t,
                                  GrColorFormat_t color_format, GrOriginLocation_t,
                                  GrSmoothingMode_t, int) {
  if (resolution < 0 || resolution >= static_cast<int>(std::size(kResolutions))) return FXFALSE;
  select_color_format(color_format);
  forget_cleared();  // a narrower screen has drawn pixels where the new margin starts
  dev.width = kResolutions[resolution].width;
  dev.height = kResolutions[resolution].height;
  clear_rows(dev.height, 0, 0);
  dev.constant_color = 0xFFFF;
  open_presenting(dev.height);
  dev.presenting = true;
  dev.lfb_write_mode = GR_LFBWRITEMODE_565;
  dev.blending = false;
  dev.lfb_constant_alpha = 0;
  reset_texture_state();
  dev.span_path = choose_span_path();
  drain_toggle_keys();
  return FXTRUE;
}

FX_ENTRY void FX_CALL grSstWinClose(void) { close_presenting(); }

FX_ENTRY FxU32 FX_CALL grSstScreenWidth(void) { return static_cast<FxU32>(dev.width); }
FX_ENTRY FxU32 FX_CALL grSstScreenHeight(void) { return static_cast<FxU32>(dev.height); }
FX_ENTRY FxBool FX_CALL grSstControl(FxU32) { return FXTRUE; }
FX_ENTRY FxU32 FX_CALL grSstStatus(void) { return 0xFFFFFFFFu; }
FX_ENTRY void FX_CALL grSstIdle(void) {}

FX_ENTRY void FX_CALL grSstPassthruMode(GrPassthruMode_t mode) {
  if (mode == GR_PASSTHRU_SHOW_VGA) dev.presenting = false;
  if (mode == GR_PASSTHRU_SHOW_SST1) dev.presenting = true;
}

FX_ENTRY void FX_CALL grSstOrigin(GrOriginLocation_t) {}
FX_ENTRY void FX_CALL grSstPerfStats(GrSstPerfStats_t *) {}
FX_ENTRY void FX_CALL grSstResetPerfStats(void) {}

FX_ENTRY void FX_CALL grBufferClear(GrColor_t color, GrAlpha_t, FxU16 depth) {
  clear_rows(dev.height, color_to_565(color), depth);
}

FX_ENTRY int FX_CALL grBufferNumPending(void) { return 0; }
FX_ENTRY void FX_CALL grRenderBuffer(GrBuffer_t) {}
FX_ENTRY void FX_CALL grClipWindow(FxU32, FxU32, FxU32, FxU32) {}
FX_ENTRY void FX_CALL grColorMask(FxBool, FxBool) {}

FX_ENTRY void FX_CALL grConstantColorValue(GrColor_t value) {
  dev.constant_color = color_to_565(value);
}

FX_ENTRY void FX_CALL grConstantColorValue4(float, float r, float g, float b) {
  dev.constant_color = pack_565(float_component(r), float_component(g), float_component(b));
}

FX_ENTRY void FX_CALL grAlphaBlendFunction(GrAlphaBlendFnc_t rgb_sf, GrAlphaBlendFnc_t rgb_df,
                                           GrAlphaBlendFnc_t, GrAlphaBlendFnc_t) {
  auto plain = [](GrAlphaBlendFnc_t f) { return f == GR_BLEND_ZERO || f == GR_BLEND_ONE; };
  dev.blending = !plain(rgb_sf) || !plain(rgb_df);
}

FX_ENTRY void FX_CALL grDepthBufferMode(GrDepthBufferMode_t) {}
FX_ENTRY void FX_CALL grDepthBufferFunction(GrCmpFnc_t) {}
FX_ENTRY void FX_CALL grDepthMask(FxBool) {}
FX_ENTRY void FX_CALL grDepthBiasLevel(FxI16) {}
FX_ENTRY void FX_CALL grAlphaCombine(GrCombineFunction_t, GrCombineFactor_t, GrCombineLocal_t,
                                     GrCombineOther_t, FxBool) {}
FX_ENTRY void FX_CALL grAlphaControlsITRGBLighting(FxBool) {}
FX_ENTRY void FX_CALL grAlphaTestFunction(GrCmpFnc_t) {}
FX_ENTRY void FX_CALL grAlphaTestReferenceValue(GrAlpha_t) {}
FX_ENTRY void FX_CALL guAlphaSource(GrAlphaSource_t) {}
FX_ENTRY void FX_CALL grColorCombine(GrCombineFunction_t, GrCombineFactor_t, GrCombineLocal_t,
                                     GrCombineOther_t, FxBool) {}
FX_ENTRY void FX_CALL guColorCombineFunction(GrColorCombineFnc_t) {}
FX_ENTRY void FX_CALL grChromakeyMode(GrChromakeyMode_t) {}
FX_ENTRY void FX_CALL grChromakeyValue(GrColor_t) {}
FX_ENTRY void FX_CALL grGammaCorrectionValue(float) {}
FX_ENTRY void FX_CALL grFogMode(GrFogMode_t) {}
FX_ENTRY void FX_CALL grFogColorValue(GrColor_t) {}
FX_ENTRY void FX_CALL grFogTable(const GrFog_t[GR_FOG_TABLE_SIZE]) {}
FX_ENTRY void FX_CALL guFogGenerateExp(GrFog_t[GR_FOG_TABLE_SIZE], float) {}
FX_ENTRY void FX_CALL guFogGenerateExp2(GrFog_t[GR_FOG_TABLE_SIZE], float) {}

FX_ENTRY void FX_CALL grLfbConstantAlpha(GrAlpha_t alpha) { dev.lfb_constant_alpha = alpha; }
FX_ENTRY void FX_CALL grLfbWriteMode(GrLfbWriteMode_t mode) { dev.lfb_write_mode = mode; }
FX_ENTRY void FX_CALL grLfbBypassMode(GrLfbBypassMode_t) {}

FX_ENTRY const void *FX_CALL grLfbGetReadPtr(GrBuffer_t) { return dev.color; }

FX_ENTRY void *FX_CALL grLfbGetWritePtr(GrBuffer_t) {
  forget_cleared();
  if (writes_565(dev.lfb_write_mode)) return dev.color;
  return dev.staging;
}

// Begin and end bracket writes through a pointer the caller may have kept from an
// earlier grLfbGetWritePtr: the next clear covers everything.
FX_ENTRY void FX_CALL grLfbBegin(void) {
  forget_cleared();
  if (dev.lfb_write_mode != GR_LFBWRITEMODE_565) zero_staging();
}

FX_ENTRY void FX_CALL grLfbEnd(void) {
  forget_cleared();
  if (dev.lfb_write_mode == GR_LFBWRITEMODE_888) convert_staging();
}

// For modes that write through the staging buffer the lock reports the staging
// buffer and its stride, so that what the caller writes is what unlock converts.
FX_ENTRY FxBool FX_CALL grLfbLock(GrLock_t, GrBuffer_t, GrLfbWriteMode_t write_mode,
                                  GrOriginLocation_t origin, FxBool, GrLfbInfo_t *info) {
  dev.lfb_write_mode = write_mode;
  forget_cleared();  // the caller may write anywhere in the buffer through the pointer
  if (write_mode != GR_LFBWRITEMODE_565) zero_staging();
  if (info != nullptr) {
    const bool direct = writes_565(write_mode);
    info->lfbPtr = direct ? static_cast<void *>(dev.color) : static_cast<void *>(dev.staging);
    info->strideInBytes = direct ? kBufferSide * 2 : kBufferSide * 4;
    info->writeMode = write_mode;
    info->origin = origin;
  }
  return FXTRUE;
}

FX_ENTRY FxBool FX_CALL grLfbUnlock(GrLock_t, GrBuffer_t) {
  grLfbEnd();
  return FXTRUE;
}

FX_ENTRY FxBool FX_CALL guFbReadRegion(int x, int y, int w, int h, void *dst, int stride) {
  const Clip c = clip_to_buffer(x, y, w, h);
  if (c.empty() || dst == nullptr) return FXTRUE;
  auto *out = static_cast<unsigned char *>(dst);
  const std::size_t bytes = static_cast<std::size_t>(c.x1 - c.x0) * 2;
  for (int row = c.y0; row < c.y1; ++row) {
    std::memcpy(out + caller_offset(c.x0, row, x, y, stride),
                dev.color + row * kBufferSide + c.x0, bytes);
  }
  return FXTRUE;
}

FX_ENTRY FxBool FX_CALL guFbWriteRegion(int x, int y, int w, int h, const void *src, int stride) {
  const Clip c = clip_to_buffer(x, y, w, h);
  if (c.empty() || src == nullptr) return FXTRUE;
  const auto *in = static_cast<const unsigned char *>(src);
  const bool over_black = dev.blending && dev.lfb_constant_alpha != 0;
  const int n = c.x1 - c.x0;
  mark_drawn(c.y0, c.y1, c.x0, c.x1);
  for (int row = c.y0; row < c.y1; ++row) {
    const unsigned char *from = in + caller_offset(c.x0, row, x, y, stride);
    std::uint16_t *to = dev.color + row * kBufferSide + c.x0;
    if (over_black) {
      write_row_over_black(to, from, n);
    } else {
      std::memcpy(to, from, static_cast<std::size_t>(n) * 2);
    }
  }
  return FXTRUE;
}

}  // extern "C"
