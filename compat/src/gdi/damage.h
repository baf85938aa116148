// The tiles of a surface that drawing changed since a presenter last took them, so that
// presenting converts and sends only those instead of the whole frame.
#pragma once

#include <algorithm>
#include <cstddef>
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
  // little more, never less. Called for every line drawn, so the usual short line is marked
  // here, inline, by its bounding box.
  void MarkLine(int x0, int y0, int x1, int y1, int reach) {
    const int top = std::min(y0, y1) - reach, bottom = std::max(y0, y1) + reach;
    const int left = std::min(x0, x1) - reach, right = std::max(x0, x1) + reach;
    if (unsigned(top) < unsigned(height_) && unsigned(bottom) < unsigned(height_) &&
        unsigned(left) < unsigned(width_) && unsigned(right) < unsigned(width_) &&
        (bottom - top < 2 * TILE_HEIGHT || right - left < 2 * TILE_WIDTH)) {
      for (int row = top >> TILE_SHIFT_Y; row <= bottom >> TILE_SHIFT_Y; ++row)
        MarkColumns(row, left >> TILE_SHIFT_X, right >> TILE_SHIFT_X);
      return;
    }
    MarkLongLine(x0, y0, x1, y1, reach);
  }
  void Clear();

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  bool Damaged(int column, int row) const { return tiles_[size_t(row) * columns_ + column] != 0; }

 private:
  // A line reaching past an edge, or long: the tiles along it, tile row by tile row.
  void MarkLongLine(int x0, int y0, int x1, int y1, int reach);
  // Tiles of one tile row covering pixel columns [left, right].
  void MarkSpan(int row, int64_t left, int64_t right);
  void MarkColumns(int row, int first, int last) {
    // Volatile keeps these few stores from becoming a call to memset.
    volatile uint8_t *tiles = tiles_.data() + size_t(row) * columns_;
    for (int column = first; column <= last; ++column) tiles[column] = 1;
  }

  int width_ = 0;
  int height_ = 0;
  int columns_ = 0;
  int rows_ = 0;
  std::vector<uint8_t> tiles_;
};

}  // namespace compat
