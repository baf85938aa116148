// A test pattern through the real GDI calls, written as PNG and read back. Set
// LUMIVANE_TEST_OUTPUT to a folder to keep the picture for a look.
#include <windows.h>

#include "compat/src/gdi/device_context.h"
#include "compat/src/gdi/display.h"
#include "compat/src/gdi/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int ENTRIES = 236;

HPALETTE RainbowPalette() {
  std::vector<BYTE> block(sizeof(LOGPALETTE) + ENTRIES * sizeof(PALETTEENTRY));
  auto *record = reinterpret_cast<LOGPALETTE *>(block.data());
  record->palVersion = 0x300;
  record->palNumEntries = ENTRIES;
  for (int i = 0; i < ENTRIES; ++i) {
    const double a = i * 6.283185307 / ENTRIES;
    record->palPalEntry[i] = {BYTE(127 + 127 * std::cos(a)), BYTE(127 + 127 * std::cos(a - 2.094)),
                              BYTE(127 + 127 * std::cos(a + 2.094)), PC_RESERVED};
  }
  return CreatePalette(record);
}

void Segment(HDC dc, int width, COLORREF colour, int x0, int y0, int x1, int y1) {
  HPEN pen = CreatePen(PS_SOLID, width, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Curve(HDC dc, int width, COLORREF colour, const POINT *points, DWORD count) {
  HPEN pen = CreatePen(PS_SOLID, width, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  PolyBezier(dc, points, count);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void DrawPattern(HDC dc) {
  // A star of lines, pen widths 1 to 16, running off the left edge.
  for (int i = 0; i < 32; ++i) {
    const double a = i * 6.283185307 / 32;
    Segment(dc, 1 + i / 2, PALETTEINDEX(i * 7), 160, 240, 160 + int(220 * std::cos(a)),
            240 + int(220 * std::sin(a)));
  }
  // Hearts and tear drops of Bézier curves in several widths.
  for (int i = 0; i < 6; ++i) {
    const int x = 380 + (i % 3) * 85, y = 90 + (i / 3) * 150;
    const POINT heart[7] = {{x, y + 60}, {x - 60, y + 10}, {x - 30, y - 40}, {x, y},
                            {x + 30, y - 40}, {x + 60, y + 10}, {x, y + 60}};
    Curve(dc, 1 + i * 2, PALETTEINDEX(40 * i + 3), heart, 7);
    const POINT drop[4] = {{x, y + 100}, {x - 40, y + 60}, {x + 40, y + 60}, {x, y + 100}};
    Curve(dc, 1 + i, PALETTERGB(255, 255, 255), drop, 4);
  }
  // A thin fan that is drawn, then erased with the black pen: nothing may remain of it.
  for (int i = 0; i < 20; ++i) Segment(dc, 1, RGB(255, 255, 255), 330, 470, 630, 300 + i * 9);
  for (int i = 0; i < 20; ++i) Segment(dc, 1, RGB(0, 0, 0), 330, 470, 630, 300 + i * 9);
  // Plain RGB colours come out as the nearest static colours, whatever the palette holds.
  const COLORREF plain[] = {RGB(255, 0, 0), RGB(0, 250, 0), RGB(255, 255, 10), RGB(0, 0, 255),
                            RGB(255, 0, 255), RGB(0, 255, 255), RGB(250, 250, 250), RGB(128, 128, 128)};
  for (int i = 0; i < 8; ++i) Segment(dc, 5, plain[i], 330 + i * 36, 465, 360 + i * 36, 465);
}

std::string OutputFolder() {
  const char *kept = std::getenv("LUMIVANE_TEST_OUTPUT");
  if (kept) return kept;
  const char *tmp = std::getenv("TMPDIR");
  return tmp ? tmp : "/tmp";
}

TEST(GdiPng, PatternWrittenAsPngReadsBackAsItIsShown) {
  setenv("LUMIVANE_DISPLAY", "palette", 1);
  compat::Surface surface;
  compat::InitDisplaySurface(surface, 640, 480);
  HDC dc = compat::CreateSurfaceDC(surface);
  HPALETTE palette = RainbowPalette();
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  RealizePalette(dc);
  DrawPattern(dc);
  // Recolour the first palette entries after drawing: the picture shows the new colours.
  std::vector<PALETTEENTRY> cold(ENTRIES / 4, PALETTEENTRY{40, 90, 255, PC_RESERVED});
  AnimatePalette(palette, 0, UINT(cold.size()), cold.data());
  unsetenv("LUMIVANE_DISPLAY");

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
  // The erased fan left nothing behind between its ends.
  for (int x = 331; x < 620; ++x) EXPECT_EQ(surface.pixels8[size_t(380) * 640 + x], 0) << x;
  EXPECT_FALSE(compat::WriteSurfacePng("/nonexistent-folder/x.png", surface));
  if (!std::getenv("LUMIVANE_TEST_OUTPUT")) std::remove(path.c_str());
  SelectPalette(dc, previous, FALSE);
  DeleteObject(palette);
  compat::DeleteMemoryDC(dc);
}

}  // namespace
