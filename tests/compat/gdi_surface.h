// An emulated display surface with a DC on it for each test, and the few drawing steps the GDI
// tests share.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "compat/src/gdi/device_context.h"
#include "compat/src/gdi/display.h"
#include "platform/gdi_line_walk.h"

inline HPALETTE MakePalette(const std::vector<PALETTEENTRY> &entries) {
  std::vector<BYTE> block(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto *record = reinterpret_cast<LOGPALETTE *>(block.data());
  record->palVersion = 0x300;
  record->palNumEntries = WORD(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) record->palPalEntry[i] = entries[i];
  return CreatePalette(record);
}

// One line with a pen of its own, as the saver draws each line set.
inline void PenLine(HDC dc, int width, COLORREF colour, int x0, int y0, int x1, int y1) {
  HPEN pen = CreatePen(PS_SOLID, width, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

class GdiSurface : public ::testing::Test {
 protected:
  void Open(const char *mode, int width, int height) {
    setenv("LUMIVANE_DISPLAY", mode, 1);
    compat::InitDisplaySurface(surface, width, height);
    dc = compat::CreateSurfaceDC(surface);
    ASSERT_NE(dc, nullptr);
  }
  void TearDown() override {
    if (dc) compat::DeleteMemoryDC(dc);
    dc = nullptr;
    unsetenv("LUMIVANE_DISPLAY");
  }
  void Fill(uint8_t value) {
    std::fill(surface.pixels8.begin(), surface.pixels8.end(), value);
    std::fill(surface.pixels32.begin(), surface.pixels32.end(), value);
  }
  uint8_t Index(int x, int y) const { return surface.pixels8[size_t(y) * surface.width + x]; }
  // Where the surface holds `value`: a palette index, or a true-colour pixel value.
  PixelSet PixelsOf(uint32_t value) const {
    PixelSet pixels;
    for (int y = 0; y < surface.height; ++y)
      for (int x = 0; x < surface.width; ++x) {
        const size_t at = size_t(y) * surface.width + x;
        if ((surface.indexed ? surface.pixels8[at] : surface.pixels32[at]) == value) pixels.insert({x, y});
      }
    return pixels;
  }

  compat::Surface surface;
  HDC dc = nullptr;
};
