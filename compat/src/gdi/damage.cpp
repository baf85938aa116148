#include "damage.h"

#include <algorithm>

namespace compat {

void DamageGrid::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  columns_ = (width_ + TILE_WIDTH - 1) >> TILE_SHIFT_X;
  rows_ = (height_ + TILE_HEIGHT - 1) >> TILE_SHIFT_Y;
  wordsPerRow_ = (columns_ + 63) >> 6;
  tiles_.assign(size_t(wordsPerRow_) * rows_, 0);
  MarkAll();
}

void DamageGrid::MarkAll() { MarkRect(0, 0, width_, height_); }

void DamageGrid::Clear() { std::fill(tiles_.begin(), tiles_.end(), 0); }

void DamageGrid::MarkRect(int left, int top, int right, int bottom) {
  MarkBox(left, top, int64_t(right) - 1, int64_t(bottom) - 1);
}

void DamageGrid::MarkLongLine(int x0, int y0, int x1, int y1, int reach) {
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  const int64_t top = std::max<int64_t>(int64_t(y0) - reach, 0);
  const int64_t bottom = std::min<int64_t>(int64_t(y1) + reach, height_ - 1);
  // x along the segment by one division per line (the segment is not flat: y1 > y0); the
  // pixel of slack on each side covers the rounding.
  const double slope = double(int64_t(x1) - x0) / double(int64_t(y1) - y0);
  for (int64_t row = top >> TILE_SHIFT_Y; top <= bottom && row <= bottom >> TILE_SHIFT_Y; ++row) {
    // The stretch of the segment whose points lie within reach of this tile row, by its
    // ends' x, widened by reach.
    const int64_t from = std::max<int64_t>((row << TILE_SHIFT_Y) - reach, y0);
    const int64_t to = std::min<int64_t>(((row + 1) << TILE_SHIFT_Y) - 1 + reach, y1);
    const double xa = x0 + slope * double(from - y0), xb = x0 + slope * double(to - y0);
    const int64_t rowTop = row << TILE_SHIFT_Y;
    // Truncation is within a pixel of floor and ceiling, so one more pixel of slack covers it
    // without a call to either.
    MarkBox(int64_t(std::min(xa, xb)) - reach - 2, rowTop, int64_t(std::max(xa, xb)) + reach + 2, rowTop);
  }
}

}  // namespace compat
