#include "colour_match.h"

#include "display.h"

namespace compat {

int ColourDistance(uint32_t a, uint32_t b) {
  const int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
  const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
  const int db = int(a & 0xFF) - int(b & 0xFF);
  return dr * dr + dg * dg + db * db;
}

int NearestStaticSlot(uint32_t rgb) {
  int best = 0;
  int bestDistance = ColourDistance(StaticColour(0), rgb);
  // An exact match (black, the usual erasing pen, comes first) ends the search.
  for (int i = 1; i < STATIC_COLOUR_COUNT && bestDistance > 0; ++i) {
    const int d = ColourDistance(StaticColour(i), rgb);
    if (d < bestDistance) best = i, bestDistance = d;
  }
  return StaticColourSlot(best);
}

size_t NearestEntry(const std::vector<PALETTEENTRY> &entries, uint32_t rgb) {
  size_t best = 0;
  int bestDistance = INT32_MAX;
  for (size_t i = 0; i < entries.size(); ++i) {
    const int d = ColourDistance(EntryRGB(entries[i]), rgb);
    if (d < bestDistance) best = i, bestDistance = d;
  }
  return best;
}

}  // namespace compat
