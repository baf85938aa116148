// Device contexts: one per window, kept for the window's life with whatever is selected into
// it (as with a class-owned DC), plus memory DCs over DIB sections.
#pragma once

#include "compat/win32_gdi.h"
#include "objects.h"
#include "surface.h"

#include <cstdint>

namespace compat {

struct DeviceContext {
  uint32_t magic = 0;
  HWND window = nullptr;
  Surface *surface = nullptr;  // null: nothing to draw on (a screen or hidden window DC)
  Bitmap *bitmap = nullptr;    // memory DCs: the selected DIB section
  bool memory = false;
  int x = 0, y = 0;  // current position
  Pen *pen = nullptr;
  Brush *brush = nullptr;
  Palette *palette = nullptr;
  uint32_t penPixel = 0;     // pen colour as a pixel value of `surface`
  uint64_t penEpoch = 0;     // colourEpoch when penPixel was worked out
};

// The live DC behind a handle, or null.
DeviceContext *FindDC(HDC dc);

// A DC drawing straight onto a surface, for tests and tools; the caller keeps the surface.
HDC CreateSurfaceDC(Surface &surface);
// Ends a surface or memory DC.
void DeleteMemoryDC(HDC dc);

// The pixel value a colour reference gives on a DC's surface with its selected palette.
uint32_t ResolveColour(const DeviceContext &dc, COLORREF colour);

inline uint32_t CurrentPenPixel(DeviceContext &dc) {
  if (dc.penEpoch != colourEpoch) {
    dc.penPixel = ResolveColour(dc, dc.pen->colour);
    dc.penEpoch = colourEpoch;
  }
  return dc.penPixel;
}

}  // namespace compat
