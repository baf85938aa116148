// Colours on the emulated palette display beyond what the golden pictures show: the nearest
// entry for an RGB colour, entries outside the palette, animation of reserved entries only, and
// colours shared with the static ones; and that a true-colour display has none. (Realising and
// animating the saver's own palette, and drawing in true colour: the golden pictures.)
#include <windows.h>

#include "gdi_surface.h"

namespace {

constexpr int ENTRIES = 236;

// A palette like the saver's: every entry reserved for animation.
HPALETTE MakeAnimatedPalette() {
  std::vector<PALETTEENTRY> entries(ENTRIES);
  for (int i = 0; i < ENTRIES; ++i) entries[i] = {BYTE(i), BYTE(255 - i), 7, PC_RESERVED};
  return MakePalette(entries);
}

class GdiDisplay : public GdiSurface {
 protected:
  void SetUp() override { Open("palette", 64, 48); }
  void Line(COLORREF colour, int y) { PenLine(dc, 1, colour, 0, y, 10, y); }
};

TEST_F(GdiDisplay, RealisedPaletteMatchesColoursAndAnimatesOnlyReservedEntries) {
  HPALETTE palette = MakeAnimatedPalette();
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  EXPECT_EQ(RealizePalette(dc), UINT(ENTRIES));
  // PALETTERGB draws the nearest entry; plain RGB a static colour; an entry past the palette's
  // end (where the sound modulation may park its cursor) entry 0.
  Line(PALETTERGB(100, 150, 0), 3);
  Line(RGB(250, 5, 5), 4);
  Line(PALETTEINDEX(999), 5);
  EXPECT_EQ(Index(3, 3), 10 + 102);  // (102, 153, 7) is the closest entry
  EXPECT_EQ(Index(3, 4), 249);       // static red
  EXPECT_EQ(Index(3, 5), 10);
  // A resized window keeps its hardware palette.
  compat::InitDisplaySurface(surface, 80, 60);
  EXPECT_EQ(surface.hardwarePalette[10 + 235], (235u << 16) | (20u << 8) | 7);

  // Animation recolours what is on screen through the hardware palette, and says so to the
  // presenter.
  const uint64_t generation = surface.generation;
  PALETTEENTRY red{255, 0, 0, PC_RESERVED};
  EXPECT_TRUE(AnimatePalette(palette, 4, 1, &red));
  EXPECT_EQ(surface.hardwarePalette[14], 0xFF0000u);
  EXPECT_GT(surface.generation, generation);
  // Entries set without PC_RESERVED are not animated; a realised palette keeps its mapping
  // until realised again.
  PALETTEENTRY plain{1, 2, 3, 0};
  SetPaletteEntries(palette, 7, 1, &plain);
  PALETTEENTRY blue{0, 0, 255, PC_RESERVED};
  AnimatePalette(palette, 7, 1, &blue);
  EXPECT_EQ(surface.hardwarePalette[17], (7u << 16) | (248u << 8) | 7);
  SelectPalette(dc, previous, FALSE);
  DeleteObject(palette);
}

TEST_F(GdiDisplay, UnreservedEntriesShareColoursAlreadyInTheHardwarePalette) {
  // The middle entry is the static white; the outer two are the same colour.
  HPALETTE palette = MakePalette({{40, 20, 40, 0}, {255, 255, 255, 0}, {40, 20, 40, 0}});
  SelectPalette(dc, palette, FALSE);
  EXPECT_EQ(RealizePalette(dc), 1u);
  Line(PALETTEINDEX(0), 1);
  Line(PALETTEINDEX(1), 2);
  Line(PALETTEINDEX(2), 3);
  EXPECT_EQ(Index(0, 1), 10);
  EXPECT_EQ(Index(0, 2), 255);
  EXPECT_EQ(Index(0, 3), 10);
  // Reserving and animating the entry that shares static white must not recolour white.
  PALETTEENTRY reserved{255, 255, 255, PC_RESERVED}, black{0, 0, 0, 0};
  SetPaletteEntries(palette, 1, 1, &reserved);
  AnimatePalette(palette, 1, 1, &black);
  EXPECT_EQ(surface.hardwarePalette[255], 0xFFFFFFu);
  SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  DeleteObject(palette);
}

// What the palette engine asks before it builds a palette. (That the palette display has one:
// the golden pictures.)
using GdiTrueColour = GdiSurface;

TEST_F(GdiTrueColour, HasNoPalette) {
  Open("truecolor", 8, 8);
  EXPECT_FALSE(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
  EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 0);
}

}  // namespace
