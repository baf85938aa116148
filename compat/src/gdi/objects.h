// GDI objects behind their handles: pens, brushes, logical palettes and DIB bitmaps.
// Handles carry a generation, so a stale or made-up handle is refused, never dereferenced.
#pragma once

#include "compat/win32_gdi.h"
#include "raster.h"
#include "surface.h"

#include <cstdint>
#include <vector>

namespace compat {

enum class ObjectKind : uint8_t { Pen, Brush, Palette, Bitmap };

struct GdiObject {
  explicit GdiObject(ObjectKind k) : kind(k) {}
  virtual ~GdiObject() = default;
  ObjectKind kind;
  HGDIOBJ handle = nullptr;
  bool stock = false;
  int selections = 0;  // device contexts it is selected into
  bool deletePending = false;
};

struct Pen : GdiObject {
  Pen() : GdiObject(ObjectKind::Pen) {}
  bool invisible = false;
  COLORREF colour = 0;
  const PenShape *shape = nullptr;  // null for a 1-pixel pen
};

struct Brush : GdiObject {
  Brush() : GdiObject(ObjectKind::Brush) {}
  bool hollow = false;
  COLORREF colour = 0;
};

struct Palette : GdiObject {
  Palette() : GdiObject(ObjectKind::Palette) {}
  std::vector<PALETTEENTRY> entries;
  std::vector<uint8_t> slots;  // hardware index of each entry
  HDC realisedThrough = nullptr;  // DC whose hardware palette holds its entries
  bool realised = false;
};

struct Bitmap : GdiObject {
  Bitmap() : GdiObject(ObjectKind::Bitmap) {}
  Surface surface;
};

// Takes ownership and gives the object its handle.
HGDIOBJ AddObject(GdiObject *object);
GdiObject *FindObject(HGDIOBJ handle);

template <typename T>
T *FindObjectOf(HGDIOBJ handle, ObjectKind kind) {
  GdiObject *object = FindObject(handle);
  return object && object->kind == kind ? static_cast<T *>(object) : nullptr;
}

// Selection bookkeeping: an object deleted while selected goes when its last DC lets go.
void Retain(GdiObject *object);
void Release(GdiObject *object);

Pen *StockPen(int which);
Brush *StockBrush(int which);
Palette *DefaultPalette();

// Bumped by every change that may alter which pixel value a colour reference gives.
extern uint64_t colourEpoch;

}  // namespace compat
