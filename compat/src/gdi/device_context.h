// Device contexts: one per window, kept for the window's life with whatever is selected into
// it (as with a class-owned DC), plus memory DCs over DIB sections.
#pragma once

#include "compat/win32_gdi.h"
#include "objects.h"
#include "surface.h"

#include <atomic>
#include <cstddef>
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

constexpr uint32_t LIVE_DC = 0x4443C0DE;
// DCs are never freed, only recycled, so a stale handle finds a dead or reused DC instead of
// freed memory; this bounds how many exist at once.
constexpr size_t MAX_DCS = 4096;
// A handle is its slot's number plus one above a tag, so made-up values are refused.
constexpr uintptr_t DC_TAG = 0xD;
constexpr int DC_INDEX_SHIFT = 4;
extern std::atomic<DeviceContext *> dcTable[MAX_DCS];

// The live DC behind a handle, or null. Inline: every line drawn looks its DC up twice.
inline DeviceContext *FindDC(HDC handle) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if ((value & ((uintptr_t(1) << DC_INDEX_SHIFT) - 1)) != DC_TAG) return nullptr;
  const size_t index = (value >> DC_INDEX_SHIFT) - 1;
  if (index >= MAX_DCS) return nullptr;
  DeviceContext *dc = dcTable[index].load(std::memory_order_acquire);
  return dc && dc->magic == LIVE_DC ? dc : nullptr;
}

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
