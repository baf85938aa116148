// The tiles of a surface that drawing changed since a presenter last took them, so that
// presenting converts and sends only those instead of the whole frame.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <vector>

namespace compat {

class DamageGrid {
 public:
  static constexpr int TILE_SHIFT_X = 5;
  static constexpr int TILE_SHIFT_Y = 4;
  static constexpr int TILE_WIDTH = 1 << TILE_SHIFT_X;
  static constexpr int TILE_HEIGHT = 1 << TILE_SHIFT_Y;

  // A grid for a surface of this size, wholly damaged.
  void Resize(int width, int height);
  void MarkAll();
  // Pixels [left, right) x [top, bottom); clipped to the surface.
  void MarkRect(int left, int top, int right, int bottom);
  // Every pixel within `reach` pixels of the segment from (x0, y0) to (x1, y1); may mark a
  // little more, never less. Called for every line drawn, so a line short one way or the
  // other, the usual case, is marked here, inline, by its bounding box: a tile or two more
  // at most, and no divisions.
  void MarkLine(int x0, int y0, int x1, int y1, int reach) {
    if (std::abs(y1 - y0) < 2 * TILE_HEIGHT || std::abs(x1 - x0) < 2 * TILE_WIDTH)
      MarkBox(std::min(x0, x1) - reach, std::min(y0, y1) - reach, std::max(x0, x1) + reach,
              std::max(y0, y1) + reach);
    else
      MarkLongLine(x0, y0, x1, y1, reach);
  }
  void Clear();

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  bool Damaged(int column, int row) const { return tiles_[size_t(row) * columns_ + column] != 0; }

 private:
  // A line long both ways: the tiles along it, tile row by tile row.
  void MarkLongLine(int x0, int y0, int x1, int y1, int reach);
  // Pixels [left, right] x [top, bottom]; clipped to the surface.
  void MarkBox(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, width_ - 1);
    bottom = std::min<int64_t>(bottom, height_ - 1);
    if (left > right) return;
    for (int64_t row = top >> TILE_SHIFT_Y; top <= bottom && row <= bottom >> TILE_SHIFT_Y; ++row) {
      // Volatile keeps these few stores from becoming a call to memset.
      volatile uint8_t *tiles = tiles_.data() + size_t(row) * columns_;
      for (int64_t column = left >> TILE_SHIFT_X; column <= right >> TILE_SHIFT_X; ++column)
        tiles[column] = 1;
    }
  }

  int width_ = 0;
  int height_ = 0;
  int columns_ = 0;
  int rows_ = 0;
  std::vector<uint8_t> tiles_;
};

}  // namespace compat
