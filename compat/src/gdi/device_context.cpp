#include "device_context.h"

#include "colour_match.h"
#include "display.h"
#include "log/palette_call_log.h"
#include "window/window_surface.h"

#include <atomic>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace compat {

namespace {

std::mutex registryGuard;
size_t dcCount = 0;
std::vector<size_t> freeDCs;
std::unordered_map<HWND, size_t> windowDCs;
size_t screenDC = SIZE_MAX;

HDC HandleOf(size_t index) {
  return reinterpret_cast<HDC>(((index + 1) << DC_INDEX_SHIFT) | DC_TAG);
}

void SelectDefaults(DeviceContext &dc) {
  dc.pen = StockPen(BLACK_PEN);
  dc.brush = StockBrush(WHITE_BRUSH);
  dc.palette = DefaultPalette();
  for (GdiObject *object : {static_cast<GdiObject *>(dc.pen), static_cast<GdiObject *>(dc.brush),
                            static_cast<GdiObject *>(dc.palette)})
    Retain(object);
  dc.x = dc.y = 0;
  dc.penEpoch = 0;
}

// Takes a slot for a new DC; registryGuard must be held. SIZE_MAX when all are in use.
size_t NewDC() {
  size_t index;
  if (!freeDCs.empty()) {
    index = freeDCs.back();
    freeDCs.pop_back();
  } else {
    if (dcCount == MAX_DCS) return SIZE_MAX;
    index = dcCount++;
    dcTable[index].store(new DeviceContext);
  }
  DeviceContext &dc = *dcTable[index].load();
  dc = DeviceContext();
  SelectDefaults(dc);
  dc.magic = LIVE_DC;
  return index;
}

}  // namespace

std::atomic<DeviceContext *> dcTable[MAX_DCS];

HDC CreateSurfaceDC(Surface &surface) {
  std::lock_guard<std::mutex> lock(registryGuard);
  const size_t index = NewDC();
  if (index == SIZE_MAX) return nullptr;
  DeviceContext &dc = *dcTable[index].load();
  dc.surface = &surface;
  dc.memory = true;
  return HandleOf(index);
}

namespace {

// Ends the DC in a slot; registryGuard must be held.
void RetireDC(size_t index) {
  DeviceContext &dc = *dcTable[index].load();
  dc.magic = 0;
  for (GdiObject *object : {static_cast<GdiObject *>(dc.pen), static_cast<GdiObject *>(dc.brush),
                            static_cast<GdiObject *>(dc.palette), static_cast<GdiObject *>(dc.bitmap)})
    if (object) Release(object);
  freeDCs.push_back(index);
}

// Window handles are not reused, so DCs of destroyed windows would pile up; once there are
// many, those whose window has gone are retired. registryGuard must be held.
void RetireVanishedWindowDCs() {
  constexpr size_t SWEEP_AT = 256;
  if (windowDCs.size() < SWEEP_AT) return;
  for (auto it = windowDCs.begin(); it != windowDCs.end();) {
    if (WindowSurface(it->first)) {
      ++it;
    } else {
      RetireDC(it->second);
      it = windowDCs.erase(it);
    }
  }
}

}  // namespace

void DeleteMemoryDC(HDC handle) {
  std::lock_guard<std::mutex> lock(registryGuard);
  DeviceContext *dc = FindDC(handle);
  if (dc && dc->memory) RetireDC((reinterpret_cast<uintptr_t>(handle) >> DC_INDEX_SHIFT) - 1);
}

uint32_t ResolveColour(const DeviceContext &dc, COLORREF colour) {
  const Palette &palette = dc.palette ? *dc.palette : *DefaultPalette();
  const bool indexed = dc.surface && dc.surface->indexed;
  switch (colour >> 24) {
    case 1: {
      size_t index = colour & 0xFFFF;
      if (index >= palette.entries.size()) index = 0;
      return indexed ? palette.slots[index] : EntryRGB(palette.entries[index]);
    }
    case 2:
      if (indexed) return palette.slots[NearestEntry(palette.entries, ColourRefRGB(colour))];
      return ColourRefRGB(colour);
    default:
      // Plain RGB on a palette display: the nearest of the colours every palette keeps.
      return indexed ? uint32_t(NearestStaticSlot(ColourRefRGB(colour))) : ColourRefRGB(colour);
  }
}

}  // namespace compat

using namespace compat;

HDC GetDC(HWND window) {
  if (window && !IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(registryGuard);
  size_t index;
  if (!window) {
    if (screenDC == SIZE_MAX) screenDC = NewDC();
    index = screenDC;
  } else {
    auto found = windowDCs.find(window);
    if (found != windowDCs.end()) {
      index = found->second;
      // A common DC starts over: nothing selected before survives the ReleaseDC.
      if (!WindowKeepsItsDC(window)) {
        DeviceContext &common = *dcTable[index].load();
        for (GdiObject *object : {static_cast<GdiObject *>(common.pen), static_cast<GdiObject *>(common.brush),
                                  static_cast<GdiObject *>(common.palette)})
          if (object) Release(object);
        SelectDefaults(common);
      }
    } else {
      RetireVanishedWindowDCs();
      index = NewDC();
      if (index != SIZE_MAX) windowDCs[window] = index;
    }
  }
  if (index == SIZE_MAX) return nullptr;
  DeviceContext &dc = *dcTable[index].load();
  dc.window = window;
  // The window layer may have resized or replaced the surface since the last call.
  dc.surface = window ? WindowSurface(window) : nullptr;
  dc.penEpoch = 0;
  return HandleOf(index);
}

int ReleaseDC(HWND window, HDC handle) {
  DeviceContext *dc = FindDC(handle);
  return dc && !dc->memory && dc->window == window ? 1 : 0;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  DeviceContext *dc = FindDC(handle);
  GdiObject *found = FindObject(object);
  if (!dc || !found) return nullptr;
  GdiObject *previous = nullptr;
  switch (found->kind) {
    case ObjectKind::Pen:
      previous = dc->pen;
      dc->pen = static_cast<Pen *>(found);
      dc->penEpoch = 0;
      break;
    case ObjectKind::Brush:
      previous = dc->brush;
      dc->brush = static_cast<Brush *>(found);
      break;
    case ObjectKind::Bitmap:
      if (!dc->memory || found->selections > 0) return nullptr;
      previous = dc->bitmap;
      dc->bitmap = static_cast<Bitmap *>(found);
      dc->surface = &dc->bitmap->surface;
      dc->penEpoch = 0;
      break;
    case ObjectKind::Palette:
      return nullptr;  // palettes go through SelectPalette
  }
  Retain(found);
  HGDIOBJ previousHandle = previous ? previous->handle : nullptr;
  if (previous) Release(previous);
  return previousHandle;
}

int GetDeviceCaps(HDC handle, int index) {
  RecordPaletteCall("GetDeviceCaps");
  DeviceContext *dc = FindDC(handle);
  if (!dc) return 0;
  const bool palette = dc->surface && !dc->memory ? dc->surface->indexed : DisplayIsPalette();
  switch (index) {
    case RASTERCAPS: return palette ? RC_PALETTE : 0;
    case SIZEPALETTE: return palette ? 256 : 0;
    case NUMRESERVED: return STATIC_COLOUR_COUNT;
    case NUMCOLORS: return palette ? STATIC_COLOUR_COUNT : -1;
    case BITSPIXEL: return palette ? 8 : 32;
    case PLANES: return 1;
    case COLORRES: return palette ? 18 : 24;
    default: return 0;
  }
}

HDC CreateCompatibleDC(HDC) {
  std::lock_guard<std::mutex> lock(registryGuard);
  const size_t index = NewDC();
  if (index == SIZE_MAX) return nullptr;
  dcTable[index].load()->memory = true;
  return HandleOf(index);
}

BOOL DeleteDC(HDC handle) {
  DeviceContext *dc = FindDC(handle);
  if (!dc || !dc->memory) return FALSE;
  DeleteMemoryDC(handle);
  return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO *info, UINT usage, void **bits, HANDLE section,
                         DWORD) {
  // Bounds the pixel buffer to what a display could show.
  constexpr LONG MAX_SIDE = 16384;
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section) return nullptr;
  const BITMAPINFOHEADER &header = info->bmiHeader;
  if (header.biBitCount != 32 || header.biCompression != BI_RGB || header.biPlanes != 1 ||
      header.biWidth <= 0 || header.biWidth > MAX_SIDE || header.biHeight >= 0 ||
      header.biHeight < -MAX_SIDE)
    return nullptr;
  auto *bitmap = new Bitmap;
  bitmap->surface.width = header.biWidth;
  bitmap->surface.height = -header.biHeight;
  bitmap->surface.indexed = false;
  bitmap->surface.pixels32.assign(size_t(bitmap->surface.width) * bitmap->surface.height, 0);
  HBITMAP handle = static_cast<HBITMAP>(AddObject(bitmap));
  if (handle && bits) *bits = bitmap->surface.pixels32.data();
  return handle;
}
