// Logical palettes on the emulated palette display: realising one maps its entries into the
// window's hardware palette; animating reserved entries recolours what is already drawn.
#include "colour_match.h"
#include "device_context.h"
#include "display.h"
#include "log/palette_call_log.h"
#include "window/window_surface.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace compat {

namespace {

// Which palette last took the hardware entries behind each DC (one per window); only that
// one may animate them.
std::mutex realisedGuard;
std::unordered_map<HDC, HGDIOBJ> realisedPalettes;

// Where an entry lands while its palette is not realised: the nearest static colour.
void MapToStatics(Palette &palette, size_t first, size_t count) {
  for (size_t i = first; i < first + count; ++i)
    palette.slots[i] = uint8_t(NearestStaticSlot(EntryRGB(palette.entries[i])));
}

Surface *AnimatedSurface(const Palette &palette) {
  if (!palette.realised) return nullptr;
  {
    std::lock_guard<std::mutex> lock(realisedGuard);
    auto found = realisedPalettes.find(palette.realisedThrough);
    if (found == realisedPalettes.end() || found->second != palette.handle) return nullptr;
  }
  const DeviceContext *dc = FindDC(palette.realisedThrough);
  if (!dc) return nullptr;
  // A window's surface is looked up afresh: the window may have gone since.
  Surface *surface = dc->window ? WindowSurface(dc->window) : dc->surface;
  return surface && surface->indexed ? surface : nullptr;
}

// Foreground realisation: the palette takes the free hardware entries in order. Entries
// without PC_RESERVED or PC_NOCOLLAPSE share an identical colour already present instead.
UINT Realise(Palette &palette, Surface &surface) {
  bool sharable[256] = {};
  for (int i = 0; i < STATIC_COLOUR_COUNT; ++i) sharable[StaticColourSlot(i)] = true;
  int next = FIRST_FREE_SLOT;
  UINT placed = 0;
  for (size_t i = 0; i < palette.entries.size(); ++i) {
    const PALETTEENTRY &entry = palette.entries[i];
    const uint32_t rgb = EntryRGB(entry);
    if (entry.peFlags & PC_EXPLICIT) {
      palette.slots[i] = uint8_t(entry.peRed);
      continue;
    }
    if (!(entry.peFlags & (PC_RESERVED | PC_NOCOLLAPSE))) {
      int match = -1;
      for (int slot = 0; slot < 256 && match < 0; ++slot)
        if (sharable[slot] && surface.hardwarePalette[slot] == rgb) match = slot;
      if (match >= 0) {
        palette.slots[i] = uint8_t(match);
        continue;
      }
    }
    if (next <= LAST_FREE_SLOT) {
      surface.hardwarePalette[next] = rgb;
      sharable[next] = !(entry.peFlags & PC_RESERVED);
      palette.slots[i] = uint8_t(next++);
      ++placed;
    } else {
      int best = 0;
      for (int slot = 1; slot < 256; ++slot)
        if (ColourDistance(surface.hardwarePalette[slot], rgb) <
            ColourDistance(surface.hardwarePalette[best], rgb))
          best = slot;
      palette.slots[i] = uint8_t(best);
    }
  }
  return placed;
}

}  // namespace

}  // namespace compat

using namespace compat;

HPALETTE CreatePalette(const LOGPALETTE *record) {
  RecordPaletteCall("CreatePalette");
  if (!record || record->palVersion != 0x300 || record->palNumEntries == 0) return nullptr;
  auto *palette = new Palette;
  palette->entries.assign(record->palPalEntry, record->palPalEntry + record->palNumEntries);
  palette->slots.assign(palette->entries.size(), 0);
  MapToStatics(*palette, 0, palette->entries.size());
  return static_cast<HPALETTE>(AddObject(palette));
}

UINT SetPaletteEntries(HPALETTE handle, UINT start, UINT count, const PALETTEENTRY *entries) {
  RecordPaletteCall("SetPaletteEntries");
  Palette *palette = FindObjectOf<Palette>(handle, ObjectKind::Palette);
  if (!palette || palette->stock || !entries || start >= palette->entries.size()) return 0;
  count = std::min<UINT>(count, UINT(palette->entries.size()) - start);
  std::copy(entries, entries + count, palette->entries.begin() + start);
  if (!palette->realised) MapToStatics(*palette, start, count);
  ++colourEpoch;
  return count;
}

UINT GetPaletteEntries(HPALETTE handle, UINT start, UINT count, LPPALETTEENTRY entries) {
  Palette *palette = FindObjectOf<Palette>(handle, ObjectKind::Palette);
  if (!palette) return 0;
  if (!entries) return UINT(palette->entries.size());
  if (start >= palette->entries.size()) return 0;
  count = std::min<UINT>(count, UINT(palette->entries.size()) - start);
  std::copy(palette->entries.begin() + start, palette->entries.begin() + start + count, entries);
  return count;
}

HPALETTE SelectPalette(HDC handle, HPALETTE paletteHandle, BOOL) {
  RecordPaletteCall("SelectPalette");
  DeviceContext *dc = FindDC(handle);
  Palette *palette = FindObjectOf<Palette>(paletteHandle, ObjectKind::Palette);
  if (!dc || !palette) return nullptr;
  Palette *previous = dc->palette;
  Retain(palette);
  dc->palette = palette;
  dc->penEpoch = 0;
  HPALETTE previousHandle = static_cast<HPALETTE>(previous->handle);
  Release(previous);
  return previousHandle;
}

UINT RealizePalette(HDC handle) {
  RecordPaletteCall("RealizePalette");
  DeviceContext *dc = FindDC(handle);
  if (!dc || !dc->surface || !dc->surface->indexed || dc->palette->stock) return 0;
  Palette &palette = *dc->palette;
  const UINT placed = Realise(palette, *dc->surface);
  palette.realised = true;
  palette.realisedThrough = handle;
  {
    std::lock_guard<std::mutex> lock(realisedGuard);
    realisedPalettes[handle] = palette.handle;
  }
  ++dc->surface->generation;
  ++colourEpoch;
  return placed;
}

BOOL AnimatePalette(HPALETTE handle, UINT start, UINT count, const PALETTEENTRY *entries) {
  RecordPaletteCall("AnimatePalette");
  Palette *palette = FindObjectOf<Palette>(handle, ObjectKind::Palette);
  if (!palette || palette->stock || !entries || start >= palette->entries.size()) return FALSE;
  count = std::min<UINT>(count, UINT(palette->entries.size()) - start);
  Surface *surface = AnimatedSurface(*palette);
  // Animation may recolour a whole palette for every few lines drawn, so the loop has no
  // branch on the surface: without one, the colours land in a scratch table.
  uint32_t scratch[256];
  uint32_t *hardware = surface ? surface->hardwarePalette : scratch;
  PALETTEENTRY *to = palette->entries.data() + start;
  const uint8_t *slots = palette->slots.data() + start;
  for (UINT k = 0; k < count; ++k) {
    // An entry as one little-endian word, 0xFFBBGGRR: the colour moves in one piece and the
    // flags stay the entry's own.
    uint32_t was, now;
    std::memcpy(&was, &to[k], 4);
    std::memcpy(&now, &entries[k], 4);
    if (!((was >> 24) & PC_RESERVED)) continue;
    now = (now & 0x00FFFFFFu) | (was & 0xFF000000u);
    std::memcpy(&to[k], &now, 4);
    // The static colours belong to every window; an entry that shares one is not animated.
    const unsigned slot = slots[k];
    if (slot - FIRST_FREE_SLOT <= unsigned(LAST_FREE_SLOT - FIRST_FREE_SLOT))
      hardware[slot] = EntryRGB(to[k]);
  }
  if (surface) ++surface->generation;
  ++colourEpoch;
  return TRUE;
}
