// Every colour the animation draws with: three bouncing colour walks, and on a palette
// display an animated logical palette with bands and rotation modes.
#pragma once

#include <windows.h>

#include <cstdint>

enum RotationMode { ROTATION_STATIC = 0, ROTATION_FLOWING = 1, ROTATION_WILD = 2, ROTATION_NONE = 3 };
// The rotation mode value while the fixed palette is in force.
constexpr int32_t ROTATION_FIXED_PALETTE = -1;

enum SnazzinessKind {
  SNAZZ_EERIE = 0,
  SNAZZ_MODERN = 1,
  SNAZZ_SNAPPY = 2,
  SNAZZ_RED_STRIPES = 3,
  SNAZZ_GREEN_STRIPES = 4,
  SNAZZ_BLUE_STRIPES = 5,
  SNAZZ_OUT_OF_CONTROL = 6,
  SNAZZ_RANDOM = 7
};

constexpr int32_t PALETTE_MAX_ENTRIES = 236;
constexpr uint16_t IDLE_PERIOD = 10;
constexpr int BAND_TABLE_SIZE = 101;

enum ColourChannel { CHANNEL_RED = 0, CHANNEL_GREEN = 1, CHANNEL_BLUE = 2, CHANNEL_COUNT = 3 };

struct ColourWalk {
  int16_t value = 0;
  int16_t step = 0;
  int32_t lower = 0;
  int32_t upper = 255;
  int32_t stepRange = 0;
  uint16_t idleCounter = 0;
  int16_t soundDrift = 0;
};

struct PaletteEngine {
  ColourWalk walks[CHANNEL_COUNT];
  int32_t displayPaletteSize = 0;
  int32_t entryCount = PALETTE_MAX_ENTRIES;
  HGLOBAL entryBlock = nullptr;
  LOGPALETTE *entries = nullptr;  // the locked entry block
  HPALETTE palette = nullptr;
  int32_t rotationMode = ROTATION_FLOWING;
  int32_t paletteCursor = 1;
  double bandsOn = 0.0;
  double bandPhase = 1.0;
  double bandPhaseStep = -0.02;
  double bandTable[BAND_TABLE_SIZE] = {};
  double brightnessFactor = -1.0;
  bool realised = false;
  // With the Audio setting on, the cursor wraps within five quarters of the design's stored
  // TrailLength; each design hands both in.
  bool audioWrap = false;
  int32_t wrapTrailLength = 0;
};

// The colour limits of the settings: the walks' bounds, per channel.
struct ColourLimits {
  int32_t lower[CHANNEL_COUNT] = {0, 0, 0};
  int32_t upper[CHANNEL_COUNT] = {255, 255, 255};
};

// The one engine of the process; the driver and the sound modulation reach its fields here.
PaletteEngine &ThePaletteEngine();

// Pure pieces, exposed so they can be checked on their own.
// Brings a candidate back between lower and upper, reversing step at each reflection.
int32_t BounceValue(int32_t candidate, int16_t &step, int32_t lower, int32_t upper);
PALETTEENTRY FixedPalette(int index);
// The spread for a new step of one channel; draws from the random generator.
int32_t DrawStepRange(int32_t snazziness, ColourChannel channel);

struct PaletteSizes {
  int32_t displayPaletteSize;
  int32_t entryCount;
};
// What a device with (or without) a palette of deviceSize entries leaves of entryCount.
PaletteSizes CapacityFor(bool hasPalette, int32_t deviceSize, int32_t entryCount);

// Start-up, once the settings are loaded and before any palette is built: resets the engine
// (only the realise is once per process), chooses the step ranges for the design's
// Snazziness, sets the walks' bounds from the colour limits, seeds each value inside them and
// draws the first steps.
void StartColourWalks(const ColourLimits &limits, int32_t snazziness);
void ChooseStepRanges(int32_t snazziness);
void RandomizeSteps();
void StepWalk();
bool PaletteAvailable();
// Sizes the palette to what the window's display offers; returns whether a palette is available.
bool FitPaletteToDisplay(HWND window);
void BuildPalette();
void ReleasePalette();
// Around each tick's drawing: selects the palette into dc as a foreground palette, realising it
// on the first tick of the process only, and returns the previous palette; nothing happens and
// null comes back when there is no palette.
HPALETTE SelectPaletteForTick(HDC dc);
void RestorePaletteAfterTick(HDC dc, HPALETTE previous);
COLORREF NextPenColour();
int32_t AdvanceEntry(int32_t cursor, int32_t mode);
void RefreshAllEntries();
void SetRotationMode(HWND window, int32_t value);
void SetBandCount(int32_t n);
void SetBandWidth(int32_t w);
// Each design: the Audio setting and the design's TrailLength as stored (1993 when left to
// chance), which bound the cursor.
void SetCursorWrap(bool audio, int32_t storedTrailLength);
