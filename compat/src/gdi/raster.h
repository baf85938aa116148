// Pixels into a Surface by GDI's rules: which pixels a line touches, round wide pens, filled
// rectangles. Coordinates are device pixels; everything is clipped to the surface.
#pragma once

#include "surface.h"

#include <cstdint>
#include <vector>

namespace compat {

// The round brush of a wide pen: one horizontal span per row, offsets from the centre pixel.
struct PenShape {
  int width = 1;
  int top = 0;  // row offset of the first span
  std::vector<int> left;
  std::vector<int> right;  // inclusive
  // How far the brush reaches from its centre pixel each way.
  int reachLeft = 0, reachRight = 0, reachUp = 0, reachDown = 0;
};

// The shared round brush for a pen width (2 and more); built once per width, never freed.
const PenShape &RoundPenShape(int width);

// A 1-pixel line from (x0, y0) up to but not including (x1, y1). `pixel` is a palette index
// on an indexed surface, 0x00RRGGBB otherwise.
void DrawThinLine(Surface &surface, int x0, int y0, int x1, int y1, uint32_t pixel);

// A wide line: the brush stamped at every pixel of the line, both ends included, which gives
// round ends and, where segments meet, round joins.
void DrawWideLine(Surface &surface, int x0, int y0, int x1, int y1, const PenShape &shape,
                  uint32_t pixel);

// Fills [left, right) x [top, bottom).
void FillSurfaceRect(Surface &surface, int left, int top, int right, int bottom, uint32_t pixel);

}  // namespace compat
