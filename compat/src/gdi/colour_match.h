// Matching colours to palette entries the way a palette display does: least squared distance
// in RGB, the first of equals winning.
#pragma once

#include "compat/win32_gdi.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace compat {

// COLORREF (0x00bbggrr) and palette entries to surface pixels (0x00RRGGBB).
inline uint32_t ColourRefRGB(COLORREF colour) {
  return (uint32_t(GetRValue(colour)) << 16) | (uint32_t(GetGValue(colour)) << 8) | GetBValue(colour);
}

inline uint32_t EntryRGB(const PALETTEENTRY &e) {
  return (uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue;
}

int ColourDistance(uint32_t a, uint32_t b);

// Hardware index of the static colour nearest to rgb.
int NearestStaticSlot(uint32_t rgb);

size_t NearestEntry(const std::vector<PALETTEENTRY> &entries, uint32_t rgb);

}  // namespace compat
