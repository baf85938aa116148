#include "engine/palette_engine.h"

#include "audio/sound_capture.h"
#include "engine/crt_random.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

PaletteEngine paletteEngine;

constexpr WORD LOGICAL_PALETTE_VERSION = 0x300;
constexpr COLORREF PALETTE_INDEX_REFERENCE = 0x01000000;
constexpr COLORREF PALETTE_RGB_REFERENCE = 0x02000000;

// The low byte of a value truncated toward zero, without the undefined conversion of an
// out-of-range double to int (a hand-edited band width can make band factors huge).
BYTE LowByteOfTrunc(double value) {
  if (!std::isfinite(value)) return 0;
  double wrapped = std::fmod(std::trunc(value), 256.0);
  if (wrapped < 0) wrapped += 256.0;
  return static_cast<BYTE>(wrapped);
}

PALETTEENTRY *EntryArray() { return paletteEngine.entries->palPalEntry; }

void BounceWalk(ColourWalk &walk, int16_t candidate) {
  walk.value = static_cast<int16_t>(BounceValue(candidate, walk.step, walk.lower, walk.upper));
}

PALETTEENTRY EntryColour() {
  StepWalk();
  double rgb[CHANNEL_COUNT];
  for (int c = 0; c < CHANNEL_COUNT; ++c) rgb[c] = paletteEngine.walks[c].value;
  if (paletteEngine.brightnessFactor != -1.0) {
    for (double &channel : rgb) channel = std::trunc(channel * paletteEngine.brightnessFactor);
  }
  if (paletteEngine.bandsOn != 0.0) {
    paletteEngine.bandPhase += paletteEngine.bandPhaseStep;
    if (paletteEngine.bandPhase < 0.0 || paletteEngine.bandPhase > 1.0) {
      paletteEngine.bandPhaseStep = -paletteEngine.bandPhaseStep;
      paletteEngine.bandPhase += paletteEngine.bandPhaseStep;
    }
    // The sound modulation writes the phase and its step directly; keep the lookup inside the table.
    double scaled = paletteEngine.bandPhase * 100.0;
    int index = std::isfinite(scaled) ? static_cast<int>(std::clamp(scaled, 0.0, 100.0)) : 0;
    double factor = paletteEngine.bandTable[index];
    for (double &channel : rgb) channel *= factor;
  }
  PALETTEENTRY entry;
  entry.peRed = LowByteOfTrunc(rgb[CHANNEL_RED]);
  entry.peGreen = LowByteOfTrunc(rgb[CHANNEL_GREEN]);
  entry.peBlue = LowByteOfTrunc(rgb[CHANNEL_BLUE]);
  entry.peFlags = PC_RESERVED;
  return entry;
}

// Everything that writes entries needs the palette object as well as the block.
bool PaletteBuilt() { return paletteEngine.palette && paletteEngine.entries; }

void AnimateAllEntries() {
  AnimatePalette(paletteEngine.palette, 0, paletteEngine.entryCount, EntryArray());
}

// Sets every entry into the palette object, animates and realises it once, so that a
// switch to or from the fixed palette shows at once.
void SetAndRealiseAllEntries(HWND window) {
  SetPaletteEntries(paletteEngine.palette, 0, paletteEngine.entryCount, EntryArray());
  AnimateAllEntries();
  HDC dc = GetDC(window);
  HPALETTE previous = SelectPalette(dc, paletteEngine.palette, FALSE);
  RealizePalette(dc);
  SelectPalette(dc, previous, FALSE);
  ReleaseDC(window, dc);
}

int32_t WrapLimit() {
  if (!paletteEngine.audioWrap) return paletteEngine.entryCount;
  // The stored value: a trail left to chance (1993) wraps at the entry count.
  int64_t trail = paletteEngine.wrapTrailLength;
  return static_cast<int32_t>(std::min<int64_t>(trail * 5 / 4, paletteEngine.entryCount));
}

}  // namespace

PaletteEngine &ThePaletteEngine() { return paletteEngine; }

int32_t BounceValue(int32_t candidate, int16_t &step, int32_t lower, int32_t upper) {
  int32_t span = upper - lower + 1;
  if (candidate < lower) {
    candidate = lower + (lower - candidate) % span;
    step = static_cast<int16_t>(-step);
  }
  if (candidate > upper) {
    candidate = upper - (candidate - upper) % span;
    step = static_cast<int16_t>(-step);
  }
  return candidate;
}

PALETTEENTRY FixedPalette(int index) {
  PALETTEENTRY entry;
  entry.peRed = static_cast<BYTE>(40 + 64 * index);
  entry.peGreen = static_cast<BYTE>(20 + 32 * (index / 16));
  entry.peBlue = static_cast<BYTE>(40 + 64 * (index / 4));
  entry.peFlags = 0;
  return entry;
}

int32_t DrawStepRange(int32_t snazziness, ColourChannel channel) {
  // A value the dialog cannot offer (a hand-edited file) gets the default look.
  if (snazziness < SNAZZ_EERIE || snazziness > SNAZZ_RANDOM) snazziness = SNAZZ_MODERN;
  switch (snazziness) {
    case SNAZZ_EERIE:
      return 2 + RandomBelow(4);
    case SNAZZ_SNAPPY:
      return 10 + RandomBelow(18);
    case SNAZZ_RED_STRIPES:
    case SNAZZ_GREEN_STRIPES:
    case SNAZZ_BLUE_STRIPES:
      if (channel == snazziness - SNAZZ_RED_STRIPES) return 30 + RandomBelow(140);
      return 5 + RandomBelow(10);
    case SNAZZ_OUT_OF_CONTROL:
      return 20 + RandomBelow(110);
    case SNAZZ_RANDOM: {
      int first = RandomBelow(100);
      int second = RandomBelow(100);
      return 3 + first * second / 100;
    }
    default:
      return 5 + RandomBelow(10);
  }
}

void StartColourWalks(const ColourLimits &limits, int32_t snazziness) {
  // A run starts from the initial state; only the realise belongs to the whole process.
  const bool realised = paletteEngine.realised;
  paletteEngine = PaletteEngine{};
  paletteEngine.realised = realised;
  ChooseStepRanges(snazziness);
  for (int c = 0; c < CHANNEL_COUNT; ++c) {
    ColourWalk &walk = paletteEngine.walks[c];
    walk.lower = std::clamp(limits.lower[c], 0, 254);
    walk.upper = std::clamp(limits.upper[c], walk.lower + 1, 255);
    walk.value = static_cast<int16_t>(walk.lower + RandomBelow(walk.upper - walk.lower));
  }
  RandomizeSteps();
}

void ChooseStepRanges(int32_t snazziness) {
  if (SoundCaptureRunning()) return;
  for (int c = 0; c < CHANNEL_COUNT; ++c) {
    paletteEngine.walks[c].stepRange = DrawStepRange(snazziness, static_cast<ColourChannel>(c));
  }
}

void RandomizeSteps() {
  for (ColourWalk &walk : paletteEngine.walks) {
    // No range has been chosen yet: there is nothing to draw a step from.
    if (walk.stepRange <= 0) continue;
    walk.step = static_cast<int16_t>(RandomBelow(walk.stepRange) - walk.stepRange / 2);
  }
}

void StepWalk() {
  for (ColourWalk &walk : paletteEngine.walks) {
    if (walk.step == 0) walk.idleCounter = (walk.idleCounter + 1) % IDLE_PERIOD;
  }
  for (ColourWalk &walk : paletteEngine.walks) {
    int16_t candidate = static_cast<int16_t>(walk.value + walk.step);
    if (SoundCaptureRunning()) {
      if (walk.idleCounter == 0) candidate = static_cast<int16_t>(candidate - 1);
      candidate = static_cast<int16_t>(candidate + walk.soundDrift);
    }
    BounceWalk(walk, candidate);
  }
}

bool PaletteAvailable() {
  return paletteEngine.displayPaletteSize > 0 &&
         paletteEngine.entryCount <= paletteEngine.displayPaletteSize;
}

PaletteSizes CapacityFor(bool hasPalette, int32_t deviceSize, int32_t entryCount) {
  if (!hasPalette) return {0, entryCount};
  if (deviceSize > 31) entryCount = deviceSize - 1;
  return {deviceSize, std::min(entryCount, PALETTE_MAX_ENTRIES)};
}

bool FitPaletteToDisplay(HWND window) {
  HDC dc = GetDC(window);
  bool hasPalette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  int32_t deviceSize = hasPalette ? GetDeviceCaps(dc, SIZEPALETTE) : 0;
  ReleaseDC(window, dc);
  PaletteSizes sizes = CapacityFor(hasPalette, deviceSize, paletteEngine.entryCount);
  paletteEngine.displayPaletteSize = sizes.displayPaletteSize;
  paletteEngine.entryCount = sizes.entryCount;
  return PaletteAvailable();
}

void BuildPalette() {
  if (!PaletteAvailable()) return;
  // Header, the entries, and one spare entry, so that a cursor the sound modulation parks
  // at the end is written harmlessly.
  size_t bytes = static_cast<size_t>(paletteEngine.entryCount) * sizeof(PALETTEENTRY) + 8;
  paletteEngine.entryBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!paletteEngine.entryBlock) return;
  paletteEngine.entries = static_cast<LOGPALETTE *>(GlobalLock(paletteEngine.entryBlock));
  if (!paletteEngine.entries) {
    GlobalFree(paletteEngine.entryBlock);
    paletteEngine.entryBlock = nullptr;
    return;
  }
  paletteEngine.entries->palVersion = LOGICAL_PALETTE_VERSION;
  paletteEngine.entries->palNumEntries = static_cast<WORD>(paletteEngine.entryCount);
  PALETTEENTRY *entries = EntryArray();
  for (int i = 0; i < paletteEngine.entryCount; ++i) {
    if (paletteEngine.rotationMode == ROTATION_FIXED_PALETTE) {
      entries[i] = FixedPalette(i);
      continue;
    }
    // A plain walk per entry fills the palette with a gradient of the walk.
    for (ColourWalk &walk : paletteEngine.walks)
      BounceWalk(walk, static_cast<int16_t>(walk.value + walk.step));
    entries[i].peRed = static_cast<BYTE>(paletteEngine.walks[CHANNEL_RED].value);
    entries[i].peGreen = static_cast<BYTE>(paletteEngine.walks[CHANNEL_GREEN].value);
    entries[i].peBlue = static_cast<BYTE>(paletteEngine.walks[CHANNEL_BLUE].value);
    entries[i].peFlags = PC_RESERVED;
  }
  paletteEngine.palette = CreatePalette(paletteEngine.entries);
}

void ReleasePalette() {
  if (paletteEngine.palette) {
    DeleteObject(paletteEngine.palette);
    paletteEngine.palette = nullptr;
  }
  if (paletteEngine.entryBlock) {
    GlobalUnlock(paletteEngine.entryBlock);
    GlobalFree(paletteEngine.entryBlock);
    paletteEngine.entryBlock = nullptr;
    paletteEngine.entries = nullptr;
  }
}

HPALETTE SelectPaletteForTick(HDC dc) {
  if (!paletteEngine.palette) return nullptr;
  HPALETTE previous = SelectPalette(dc, paletteEngine.palette, FALSE);
  if (!paletteEngine.realised) {
    RealizePalette(dc);
    paletteEngine.realised = true;
  }
  return previous;
}

void RestorePaletteAfterTick(HDC dc, HPALETTE previous) {
  if (paletteEngine.palette) SelectPalette(dc, previous, FALSE);
}

COLORREF NextPenColour() {
  if (PaletteBuilt() && paletteEngine.rotationMode != ROTATION_FIXED_PALETTE) {
    paletteEngine.paletteCursor =
        AdvanceEntry(paletteEngine.paletteCursor, paletteEngine.rotationMode);
    return PALETTE_INDEX_REFERENCE | static_cast<COLORREF>(paletteEngine.paletteCursor);
  }
  COLORREF red = static_cast<BYTE>(paletteEngine.walks[CHANNEL_RED].value);
  COLORREF green = static_cast<BYTE>(paletteEngine.walks[CHANNEL_GREEN].value);
  COLORREF blue = static_cast<BYTE>(paletteEngine.walks[CHANNEL_BLUE].value);
  return PALETTE_RGB_REFERENCE | blue << 16 | green << 8 | red;
}

int32_t AdvanceEntry(int32_t cursor, int32_t mode) {
  int32_t next = cursor + 1;
  if (next >= WrapLimit()) next = 0;
  if (!PaletteBuilt()) return next;
  PALETTEENTRY *entries = EntryArray();
  const int32_t count = paletteEngine.entryCount;
  int32_t target;
  switch (mode) {
    case ROTATION_STATIC:
      target = next;
      break;
    case ROTATION_FLOWING:
      std::memmove(entries + 1, entries, (count - 1) * sizeof(PALETTEENTRY));
      target = 0;
      break;
    case ROTATION_WILD:
      std::memmove(entries, entries + 1, (count - 1) * sizeof(PALETTEENTRY));
      target = count - 1;
      break;
    default:
      target = cursor;
      break;
  }
  PALETTEENTRY colour = EntryColour();
  // The block holds count + 1 entries; a cursor outside them is never written through.
  if (target >= 0 && target <= count) entries[target] = colour;
  AnimateAllEntries();
  return next;
}

void RefreshAllEntries() {
  if (!PaletteBuilt()) return;
  PALETTEENTRY *entries = EntryArray();
  for (int i = 0; i < paletteEngine.entryCount; ++i) entries[i] = EntryColour();
  AnimateAllEntries();
}

void SetRotationMode(HWND window, int32_t value) {
  if (!PaletteBuilt()) return;
  PALETTEENTRY *entries = EntryArray();
  if (value == ROTATION_NONE) {
    if (paletteEngine.rotationMode != ROTATION_FIXED_PALETTE) {
      for (int i = 0; i < paletteEngine.entryCount; ++i) entries[i] = FixedPalette(i);
      SetAndRealiseAllEntries(window);
    }
    paletteEngine.rotationMode = ROTATION_FIXED_PALETTE;
    return;
  }
  if (paletteEngine.rotationMode == ROTATION_FIXED_PALETTE) {
    for (int i = 0; i < paletteEngine.entryCount; ++i)
      entries[i] = PALETTEENTRY{0, 0, 0, PC_RESERVED};
    SetAndRealiseAllEntries(window);
    paletteEngine.paletteCursor = 1;
  }
  paletteEngine.rotationMode = value;
}

void SetBandCount(int32_t n) {
  if (n == 0) {
    paletteEngine.bandsOn = 0.0;
    return;
  }
  paletteEngine.bandsOn = 1.0;
  paletteEngine.bandPhase = 1.0;
  paletteEngine.bandPhaseStep = -(n * 0.05 / paletteEngine.entryCount);
}

void SetBandWidth(int32_t w) {
  paletteEngine.bandTable[0] = 0.0;
  for (int k = 1; k < BAND_TABLE_SIZE; ++k)
    paletteEngine.bandTable[k] = std::exp(std::log(k * 0.01) * (w * 0.1));
}

void SetCursorWrap(bool audio, int32_t storedTrailLength) {
  paletteEngine.audioWrap = audio;
  paletteEngine.wrapTrailLength = storedTrailLength;
}
