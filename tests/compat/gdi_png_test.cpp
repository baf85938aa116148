// A test pattern through the real GDI calls, written as PNG and read back. Set
// LUMIVANE_TEST_OUTPUT to a folder to keep the picture for a look.
#include <windows.h>

#include "compat/src/gdi/png_writer.h"
#include "gdi_surface.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int ENTRIES = 236;

HPALETTE RainbowPalette() {
  std::vector<PALETTEENTRY> entries(ENTRIES);
  for (int i = 0; i < ENTRIES; ++i) {
    const double a = i * 6.283185307 / ENTRIES;
    entries[i] = {BYTE(127 + 127 * std::cos(a)), BYTE(127 + 127 * std::cos(a - 2.094)),
                  BYTE(127 + 127 * std::cos(a + 2.094)), PC_RESERVED};
  }
  return MakePalette(entries);
}

void DrawPattern(HDC dc) {
  // A star of lines, pen widths 1 to 16, running off the left edge.
  for (int i = 0; i < 32; ++i) {
    const double a = i * 6.283185307 / 32;
    PenLine(dc, 1 + i / 2, PALETTEINDEX(i * 7), 160, 240, 160 + int(220 * std::cos(a)),
            240 + int(220 * std::sin(a)));
  }
  // Hearts of Bézier curves in several widths.
  for (int i = 0; i < 6; ++i) {
    const int x = 380 + (i % 3) * 85, y = 90 + (i / 3) * 150;
    const POINT heart[7] = {{x, y + 60}, {x - 60, y + 10}, {x - 30, y - 40}, {x, y},
                            {x + 30, y - 40}, {x + 60, y + 10}, {x, y + 60}};
    HGDIOBJ old = SelectObject(dc, CreatePen(PS_SOLID, 1 + i * 2, PALETTEINDEX(40 * i + 3)));
    PolyBezier(dc, heart, 7);
    DeleteObject(SelectObject(dc, old));
  }
}

std::string OutputFolder() {
  const char *kept = std::getenv("LUMIVANE_TEST_OUTPUT");
  if (kept) return kept;
  const char *tmp = std::getenv("TMPDIR");
  return tmp ? tmp : "/tmp";
}

using GdiPng = GdiSurface;

TEST_F(GdiPng, PatternWrittenAsPngReadsBackAsItIsShown) {
  Open("palette", 640, 480);
  HPALETTE palette = RainbowPalette();
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  RealizePalette(dc);
  DrawPattern(dc);
  // Recolour the first palette entries after drawing: the picture shows the new colours.
  std::vector<PALETTEENTRY> cold(ENTRIES / 4, PALETTEENTRY{40, 90, 255, PC_RESERVED});
  AnimatePalette(palette, 0, UINT(cold.size()), cold.data());

  const std::string path = OutputFolder() + "/gdi_test_pattern.png";
  ASSERT_TRUE(compat::WriteSurfacePng(path, surface));
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  image.format = PNG_FORMAT_RGB;
  ASSERT_EQ(image.width, 640u);
  ASSERT_EQ(image.height, 480u);
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  size_t lit = 0;
  for (size_t i = 0; i < surface.pixels8.size(); ++i) {
    const uint32_t shown = surface.hardwarePalette[surface.pixels8[i]];
    const uint32_t read = (uint32_t(rgb[i * 3]) << 16) | (uint32_t(rgb[i * 3 + 1]) << 8) | rgb[i * 3 + 2];
    ASSERT_EQ(read, shown) << "pixel " << i;
    lit += surface.pixels8[i] != 0;
  }
  EXPECT_GT(lit, 20000u);
  EXPECT_FALSE(compat::WriteSurfacePng("/nonexistent-folder/x.png", surface));
  if (!std::getenv("LUMIVANE_TEST_OUTPUT")) std::remove(path.c_str());
  SelectPalette(dc, previous, FALSE);
  DeleteObject(palette);
}

}  // namespace
