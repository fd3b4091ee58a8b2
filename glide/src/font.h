// A small bitmap font of the library's own, for the frames-per-second text.
#pragma once

#include <cstdint>

namespace glide {

inline constexpr int kGlyphWidth = 8;
inline constexpr int kGlyphHeight = 8;

// Draws text into a 565 image at the given integer scale, each character an opaque
// cell of foreground on background, clipped to max_width pixels. Characters without
// a glyph draw as an empty cell. Returns the width drawn in pixels.
int draw_text(std::uint16_t *image, int stride_pixels, int max_width, int scale, const char *text,
              std::uint16_t foreground, std::uint16_t background);

}  // namespace glide
