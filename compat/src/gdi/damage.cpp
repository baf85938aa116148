#include "damage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace compat {

void DamageGrid::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  columns_ = (width_ + TILE_WIDTH - 1) >> TILE_SHIFT_X;
  rows_ = (height_ + TILE_HEIGHT - 1) >> TILE_SHIFT_Y;
  tiles_.assign(size_t(columns_) * rows_, 1);
}

void DamageGrid::MarkAll() { std::fill(tiles_.begin(), tiles_.end(), 1); }

void DamageGrid::Clear() { std::fill(tiles_.begin(), tiles_.end(), 0); }

void DamageGrid::MarkSpan(int row, int64_t left, int64_t right) {
  left = std::max<int64_t>(left, 0);
  right = std::min<int64_t>(right, width_ - 1);
  if (left <= right) MarkColumns(row, int(left >> TILE_SHIFT_X), int(right >> TILE_SHIFT_X));
}

void DamageGrid::MarkRect(int left, int top, int right, int bottom) {
  top = std::max(top, 0);
  bottom = std::min(bottom, height_);
  for (int row = top >> TILE_SHIFT_Y; top < bottom && row <= (bottom - 1) >> TILE_SHIFT_Y; ++row)
    MarkSpan(row, left, int64_t(right) - 1);
}

void DamageGrid::MarkLongLine(int x0, int y0, int x1, int y1, int reach) {
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  const int64_t top = std::max<int64_t>(int64_t(y0) - reach, 0);
  const int64_t bottom = std::min<int64_t>(int64_t(y1) + reach, height_ - 1);
  if (top > bottom) return;
  const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
  // Short lines mark their bounding box: a tile or two more at most, and no divisions.
  if (bottom - top < 2 * TILE_HEIGHT || std::abs(dx) < 2 * TILE_WIDTH) {
    for (int64_t row = top >> TILE_SHIFT_Y; row <= bottom >> TILE_SHIFT_Y; ++row)
      MarkSpan(int(row), std::min<int64_t>(x0, x1) - reach, std::max<int64_t>(x0, x1) + reach);
    return;
  }
  // x along the segment by one division per line; the pixel of slack on each side covers
  // the rounding.
  const double slope = double(dx) / double(dy);
  for (int64_t row = top >> TILE_SHIFT_Y; row <= bottom >> TILE_SHIFT_Y; ++row) {
    // The stretch of the segment whose points lie within reach of this tile row, by its
    // ends' x, widened by reach.
    const int64_t from = std::max<int64_t>((row << TILE_SHIFT_Y) - reach, y0);
    const int64_t to = std::min<int64_t>(((row + 1) << TILE_SHIFT_Y) - 1 + reach, y1);
    const double xa = x0 + slope * double(from - y0), xb = x0 + slope * double(to - y0);
    MarkSpan(int(row), int64_t(std::floor(std::min(xa, xb))) - reach - 1,
             int64_t(std::ceil(std::max(xa, xb))) + reach + 1);
  }
}

}  // namespace compat
