// The tiles of a surface that drawing changed since a presenter last took them, one bit each,
// so that presenting converts and sends only those instead of the whole frame.
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
  // A 1-pixel line with both ends on the surface, the usual case: its pixels lie within the
  // box of its ends, so there is nothing to widen or clip.
  void MarkLineWithin(int x0, int y0, int x1, int y1) {
    const int left = std::min(x0, x1), right = std::max(x0, x1);
    const int top = std::min(y0, y1), bottom = std::max(y0, y1);
    if (bottom - top < 2 * TILE_HEIGHT || right - left < 2 * TILE_WIDTH)
      MarkTiles(left >> TILE_SHIFT_X, top >> TILE_SHIFT_Y, right >> TILE_SHIFT_X,
                bottom >> TILE_SHIFT_Y);
    else
      MarkLongLine(x0, y0, x1, y1, 1);
  }
  void Clear();

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  // One bit per tile, column c of a row in bit c % 64 of the row's word c / 64.
  int wordsPerRow() const { return wordsPerRow_; }
  const uint64_t *Row(int row) const { return tiles_.data() + size_t(row) * wordsPerRow_; }
  bool Damaged(int column, int row) const { return (Row(row)[column >> 6] >> (column & 63)) & 1; }

 private:
  // A line long both ways: the tiles along it, tile row by tile row.
  void MarkLongLine(int x0, int y0, int x1, int y1, int reach);
  // Pixels [left, right] x [top, bottom]; clipped to the surface.
  void MarkBox(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, width_ - 1);
    bottom = std::min<int64_t>(bottom, height_ - 1);
    if (left > right || top > bottom) return;
    MarkTiles(int(left >> TILE_SHIFT_X), int(top >> TILE_SHIFT_Y), int(right >> TILE_SHIFT_X),
              int(bottom >> TILE_SHIFT_Y));
  }
  // Tiles [first, last] of rows [top, bottom], all on the grid.
  void MarkTiles(int first, int top, int last, int bottom) {
    uint64_t *tiles = tiles_.data() + size_t(top) * wordsPerRow_;
    uint64_t *const end = tiles_.data() + size_t(bottom + 1) * wordsPerRow_;
    if ((first >> 6) == (last >> 6)) {
      // Within one word, the usual case: one OR per tile row.
      const uint64_t bits = (~0ull >> (63 - (last - first))) << (first & 63);
      for (tiles += first >> 6; tiles < end; tiles += wordsPerRow_) *tiles |= bits;
      return;
    }
    for (; tiles < end; tiles += wordsPerRow_)
      for (int column = first; column <= last; ++column) tiles[column >> 6] |= 1ull << (column & 63);
  }

  int width_ = 0;
  int height_ = 0;
  int columns_ = 0;
  int rows_ = 0;
  int wordsPerRow_ = 0;
  std::vector<uint64_t> tiles_;
};

}  // namespace compat
