// GDI's line walk written the slow, obvious way, as the yardstick for both the real GDI and
// ours: a major axis stepped every pixel, the minor one when the error term says so; lines in
// octants 3, 5, 6 and 8 (clockwise from +x, y down) break ties the other way.
#pragma once

#include <cstdlib>

// Calls visit(x, y) for every pixel from (x0, y0) up to, and with withLast including, (x1, y1).
template <typename Visit>
void WalkGdiLine(int x0, int y0, int x1, int y1, bool withLast, Visit visit) {
  int dx = x1 - x0, dy = y1 - y0;
  int octant;
  if (dy > 0) octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
  else octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
  const int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  const int xadd = dx < 0 ? -1 : 1, yadd = dy < 0 ? -1 : 1;
  dx = std::abs(dx), dy = std::abs(dy);
  const bool xMajor = dx > dy;
  const int major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  int x = x0, y = y0, err = 2 * minor - major;
  for (int i = 0; i < major; ++i) {
    visit(x, y);
    const bool step = err + bias > 0;
    err += step ? 2 * minor - 2 * major : 2 * minor;
    if (xMajor) {
      x += xadd;
      if (step) y += yadd;
    } else {
      y += yadd;
      if (step) x += xadd;
    }
  }
  if (withLast) visit(x, y);
}
