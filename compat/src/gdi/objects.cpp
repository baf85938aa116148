#include "objects.h"

#include "display.h"

#include <cstdlib>
#include <memory>
#include <mutex>

namespace compat {

uint64_t colourEpoch = 1;

namespace {

// Handle value: generation in bits 20..31, slot index + 1 below.
constexpr uintptr_t INDEX_BITS = 20;
constexpr uintptr_t INDEX_MASK = (uintptr_t(1) << INDEX_BITS) - 1;
constexpr uint32_t GENERATION_MASK = 0xFFF;

struct Slot {
  std::unique_ptr<GdiObject> object;
  uint32_t generation = 1;
};

std::recursive_mutex tableGuard;
std::vector<Slot> slots;
std::vector<size_t> freeSlots;

HGDIOBJ MakeHandle(size_t index, uint32_t generation) {
  return reinterpret_cast<HGDIOBJ>((uintptr_t(generation) << INDEX_BITS) | (index + 1));
}

void Destroy(GdiObject *object) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(object->handle);
  const size_t index = (value & INDEX_MASK) - 1;
  Slot &slot = slots[index];
  slot.object.reset();
  slot.generation = (slot.generation % GENERATION_MASK) + 1;
  freeSlots.push_back(index);
}

Pen *MakeStockPen(bool invisible, COLORREF colour) {
  auto *pen = new Pen;
  pen->invisible = invisible;
  pen->colour = colour;
  pen->stock = true;
  AddObject(pen);
  return pen;
}

Brush *MakeStockBrush(bool hollow, COLORREF colour) {
  auto *brush = new Brush;
  brush->hollow = hollow;
  brush->colour = colour;
  brush->stock = true;
  AddObject(brush);
  return brush;
}

}  // namespace

HGDIOBJ AddObject(GdiObject *object) {
  std::lock_guard<std::recursive_mutex> lock(tableGuard);
  size_t index;
  if (!freeSlots.empty()) {
    index = freeSlots.back();
    freeSlots.pop_back();
  } else {
    if (slots.size() >= INDEX_MASK) {
      delete object;
      return nullptr;
    }
    index = slots.size();
    slots.emplace_back();
  }
  slots[index].object.reset(object);
  object->handle = MakeHandle(index, slots[index].generation);
  return object->handle;
}

GdiObject *FindObject(HGDIOBJ handle) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  const uintptr_t index = (value & INDEX_MASK);
  if (index == 0 || (value >> INDEX_BITS) > GENERATION_MASK) return nullptr;
  std::lock_guard<std::recursive_mutex> lock(tableGuard);
  if (index > slots.size()) return nullptr;
  const Slot &slot = slots[index - 1];
  if (!slot.object || slot.generation != (value >> INDEX_BITS) || slot.object->deletePending)
    return nullptr;
  return slot.object.get();
}

void Retain(GdiObject *object) {
  std::lock_guard<std::recursive_mutex> lock(tableGuard);
  ++object->selections;
}

void Release(GdiObject *object) {
  std::lock_guard<std::recursive_mutex> lock(tableGuard);
  if (--object->selections == 0 && object->deletePending) Destroy(object);
}

Pen *StockPen(int which) {
  static Pen *const white = MakeStockPen(false, RGB(255, 255, 255));
  static Pen *const black = MakeStockPen(false, RGB(0, 0, 0));
  static Pen *const none = MakeStockPen(true, 0);
  switch (which) {
    case WHITE_PEN: return white;
    case BLACK_PEN: return black;
    case NULL_PEN: return none;
    default: return nullptr;
  }
}

Brush *StockBrush(int which) {
  static Brush *const brushes[] = {
      MakeStockBrush(false, RGB(255, 255, 255)), MakeStockBrush(false, RGB(192, 192, 192)),
      MakeStockBrush(false, RGB(128, 128, 128)), MakeStockBrush(false, RGB(64, 64, 64)),
      MakeStockBrush(false, RGB(0, 0, 0)),       MakeStockBrush(true, 0)};
  return which >= WHITE_BRUSH && which <= NULL_BRUSH ? brushes[which] : nullptr;
}

Palette *DefaultPalette() {
  static Palette *const palette = [] {
    auto *p = new Palette;
    p->stock = true;
    for (int i = 0; i < STATIC_COLOUR_COUNT; ++i) {
      const uint32_t rgb = StaticColour(i);
      p->entries.push_back({BYTE(rgb >> 16), BYTE(rgb >> 8), BYTE(rgb), 0});
      p->slots.push_back(uint8_t(StaticColourSlot(i)));
    }
    p->realised = true;
    AddObject(p);
    return p;
  }();
  return palette;
}

}  // namespace compat

using namespace compat;

HGDIOBJ GetStockObject(int object) {
  if (GdiObject *pen = StockPen(object)) return pen->handle;
  if (GdiObject *brush = StockBrush(object)) return brush->handle;
  if (object == DEFAULT_PALETTE) return DefaultPalette()->handle;
  return nullptr;
}

HPEN CreatePen(int style, int width, COLORREF colour) {
  // Wider than any display; keeps a mistyped width from building a huge brush.
  constexpr int MAX_PEN_WIDTH = 1024;
  if (style != PS_SOLID && style != PS_NULL) return nullptr;
  auto *pen = new Pen;
  pen->invisible = style == PS_NULL;
  pen->colour = colour;
  // Compared before negating: the negation of INT_MIN does not exist.
  if (width > MAX_PEN_WIDTH || width < -MAX_PEN_WIDTH) width = MAX_PEN_WIDTH;
  if (width < 0) width = -width;
  if (width > 1) pen->shape = &RoundPenShape(width);
  return static_cast<HPEN>(AddObject(pen));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
  auto *brush = new Brush;
  brush->colour = colour;
  return static_cast<HBRUSH>(AddObject(brush));
}

BOOL DeleteObject(HGDIOBJ handle) {
  std::lock_guard<std::recursive_mutex> lock(tableGuard);
  GdiObject *object = FindObject(handle);
  if (!object) return FALSE;
  if (object->stock) return TRUE;
  if (object->selections > 0) {
    object->deletePending = true;
    return TRUE;
  }
  Destroy(object);
  return TRUE;
}
