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

class FramePresenter {
 public:
  // Brings `target` (the surface's size, `pitch` pixels a row) up to date and clears the
  // surface's damage. Returns the rectangles whose pixels may have changed. A target other
  // than the one of the last call is converted whole.
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
  std::vector<uint8_t> inked_;       // per tile: holds an index other than 0 (black)
  std::vector<uint8_t> work_;        // per tile of the row being updated: to be converted
  std::vector<PresentRect> rects_;
};

}  // namespace compat
