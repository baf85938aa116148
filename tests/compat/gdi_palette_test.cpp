// Colours on the two emulated displays: logical palettes realised into the hardware palette
// and animated on a palette display; plain RGB and no palette effects on true colour.
#include <windows.h>

#include "compat/src/log/palette_call_log.h"
#include "gdi_surface.h"

#include <algorithm>

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
  void Open(const char *mode) { GdiSurface::Open(mode, 64, 48); }
  void Line(COLORREF colour, int y) { PenLine(dc, 1, colour, 0, y, 10, y); }
  uint32_t Rgb(int x, int y) const { return surface.pixels32[size_t(y) * surface.width + x]; }
};

TEST_F(GdiDisplay, PaletteDisplayRealisesTheLogicalPaletteBetweenTheStaticColours) {
  Open("palette");
  EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
  EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 256);
  const std::vector<uint32_t> before(surface.hardwarePalette, surface.hardwarePalette + 256);
  HPALETTE palette = MakeAnimatedPalette();
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  EXPECT_EQ(previous, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(RealizePalette(dc), UINT(ENTRIES));
  for (int i = 0; i < ENTRIES; ++i)
    ASSERT_EQ(surface.hardwarePalette[10 + i], (uint32_t(i) << 16) | (uint32_t(255 - i) << 8) | 7);
  for (int i : {0, 9, 246, 255}) EXPECT_EQ(surface.hardwarePalette[i], before[i]) << i;
  // PALETTEINDEX draws that entry; PALETTERGB the nearest entry; plain RGB a static colour.
  Line(PALETTEINDEX(5), 1);
  Line(PALETTEINDEX(235), 2);
  Line(PALETTERGB(100, 150, 0), 3);
  Line(RGB(250, 5, 5), 4);
  Line(PALETTEINDEX(999), 5);
  EXPECT_EQ(Index(0, 1), 15);
  EXPECT_EQ(Index(9, 2), 245);
  EXPECT_EQ(Index(3, 3), 10 + 102);  // (102, 153, 7) is the closest entry
  EXPECT_EQ(Index(3, 4), 249);       // static red
  EXPECT_EQ(Index(3, 5), 10);        // out of range: entry 0
  // A resized window keeps its hardware palette.
  compat::InitDisplaySurface(surface, 80, 60);
  EXPECT_EQ(surface.hardwarePalette[10 + 235], (235u << 16) | (20u << 8) | 7);
  EXPECT_EQ(Index(3, 3), 0);
  // Back to the default palette: PALETTEINDEX picks static colours again.
  EXPECT_EQ(SelectPalette(dc, previous, FALSE), palette);
  Line(PALETTEINDEX(19), 6);
  EXPECT_EQ(Index(0, 6), 255);
  DeleteObject(palette);
}

TEST_F(GdiDisplay, AnimatePaletteRecoloursReservedEntriesAlreadyOnScreen) {
  Open("palette");
  HPALETTE palette = MakeAnimatedPalette();
  SelectPalette(dc, palette, FALSE);
  RealizePalette(dc);
  Line(PALETTEINDEX(5), 1);
  const uint8_t drawn = Index(0, 1);
  const uint64_t generation = surface.generation;
  PALETTEENTRY red[3] = {{255, 0, 0, PC_RESERVED}, {255, 0, 0, PC_RESERVED}, {255, 0, 0, PC_RESERVED}};
  EXPECT_TRUE(AnimatePalette(palette, 4, 3, red));
  // The pixel keeps its index; the colour behind that index changed, so the screen shows red.
  EXPECT_EQ(Index(0, 1), drawn);
  EXPECT_EQ(surface.hardwarePalette[drawn], 0xFF0000u);
  EXPECT_EQ(surface.hardwarePalette[drawn - 2], (3u << 16) | (252u << 8) | 7);  // entry 3 untouched
  EXPECT_GT(surface.generation, generation);
  // Entries set without PC_RESERVED are not animated; a realised palette keeps its mapping
  // until realised again.
  PALETTEENTRY plain{1, 2, 3, 0};
  SetPaletteEntries(palette, 7, 1, &plain);
  PALETTEENTRY blue{0, 0, 255, PC_RESERVED};
  AnimatePalette(palette, 7, 1, &blue);
  EXPECT_EQ(surface.hardwarePalette[17], (7u << 16) | (248u << 8) | 7);
  SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  DeleteObject(palette);
}

TEST_F(GdiDisplay, UnreservedEntriesShareColoursAlreadyInTheHardwarePalette) {
  Open("palette");
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

TEST_F(GdiDisplay, TrueColourHasNoPaletteAndPaletteCallsChangeNothingOnScreen) {
  Open("truecolor");
  compat::EnablePaletteCallLog(true);
  compat::TakePaletteCallLog();
  EXPECT_FALSE(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
  EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 0);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  Line(RGB(10, 20, 30), 1);
  Line(PALETTERGB(1, 2, 3), 2);
  EXPECT_EQ(Rgb(0, 1), 0x0A141Eu);
  EXPECT_EQ(Rgb(0, 2), 0x010203u);
  const std::vector<uint32_t> pixels = surface.pixels32;
  HPALETTE palette = MakeAnimatedPalette();
  SelectPalette(dc, palette, FALSE);
  EXPECT_EQ(RealizePalette(dc), 0u);
  PALETTEENTRY red{255, 0, 0, PC_RESERVED};
  AnimatePalette(palette, 0, 1, &red);
  EXPECT_EQ(surface.pixels32, pixels);
  // PALETTEINDEX still names a logical entry's colour.
  Line(PALETTEINDEX(1), 3);
  EXPECT_EQ(Rgb(0, 3), (1u << 16) | (254u << 8) | 7);
  const std::vector<std::string> calls = compat::TakePaletteCallLog();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "SelectPalette"), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetDeviceCaps"), 3);
  compat::EnablePaletteCallLog(false);
  SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  DeleteObject(palette);
}

}  // namespace
