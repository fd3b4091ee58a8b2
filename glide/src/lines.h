// White lines (grDrawLine and the wireframe view) and points.
#pragma once

#include <cstdint>

namespace glide {

// Draws the line between two pixel positions, both ends included, and makes white
// the constant colour.
void draw_line(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);

}  // namespace glide
