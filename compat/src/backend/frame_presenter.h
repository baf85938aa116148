// Keeps a window's shown pixels (0x00RRGGBB) up to date with its surface at a fraction of a
// full conversion: only tiles that drawing damaged are converted, and on a palette display
// also tiles holding colour when the hardware palette changed.
#pragma once

#include "gdi/surface.h"

#include <cstdint>
#include <vector>

namespace compat {

struct PresentRect {
  int x, y, width, height;
};

// Converts `count` palette indices (at most 64 tiles' width) into shown pixels; bit t of the
// result says that the t-th tile width of them held an index other than 0, the black that
// erasing draws. `table` is the converter's own, made from the same palette by
// ConversionTable. Tiles whose bit in `fresh` is clear still show black where their indices
// are 0, so some of those pixels may be left as they are.
using IndexConverter = uint64_t (*)(const uint8_t *in, uint32_t *out, int count,
                                    const uint32_t *palette, const uint64_t *table, uint64_t fresh);
// The portable converter. Its table has 65536 entries: entry (high << 8 | low) holds
// palette[low] and, above it, palette[high].
uint64_t ConvertByPairs(const uint8_t *in, uint32_t *out, int count, const uint32_t *palette,
                        const uint64_t *pairs, uint64_t fresh);
// The fastest converter this processor runs: byte permutes where it has them (AVX-512 VBMI),
// else the portable one, which LUMIVANE_CONVERT=portable also chooses.
IndexConverter BestConverter();
void ConversionTable(IndexConverter converter, const uint32_t *palette, std::vector<uint64_t> &table);

class FramePresenter {
 public:
  // Brings `target` (the surface's size, `pitch` pixels a row) up to date and clears the
  // surface's damage. Returns the rectangles whose pixels may have changed: one per run of
  // changed tiles in a tile row. A target other than the one of the last call is converted
  // whole.
  const std::vector<PresentRect> &Update(Surface &surface, uint32_t *target, int pitch);
  // The target's pixels may be lost (the window was resized or shown again): the next update
  // converts everything.
  void Forget() { target_ = nullptr; }

 private:
  // Converts the tiles of one tile row that drawing damaged, or that hold colour when the
  // palette changed, or all of them.
  void UpdateTileRow(const Surface &surface, uint32_t *target, int pitch, int row, bool recolour,
                     bool whole);

  const uint32_t *target_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool indexed_ = false;
  uint32_t shownPalette_[256] = {};  // the hardware palette the target was converted with
  IndexConverter convert_ = BestConverter();
  std::vector<uint64_t> table_;      // the converter's, of shownPalette_
  std::vector<uint64_t> inked_;      // one bit per tile, rows as the damage grid's: holds an index other than 0
  std::vector<uint64_t> work_;       // the tiles of the row being updated that are converted
  std::vector<uint64_t> fresh_;      // ... of them, those drawn on (not only recoloured)
  std::vector<PresentRect> rects_;
};

}  // namespace compat
