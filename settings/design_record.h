// The design record: the seventeen values that shape one pattern, and which of them are drawn at
// random.
#pragma once

#include <cstdint>

// A design field holding this value (written "X" in a design string) is drawn at random.
constexpr int32_t RANDOM_SENTINEL = 1993;
// The most copies a design can draw: one line set of mirrored copies must still fit the
// renderer's trail ring of 65535 coordinates (2 copies x 2 points x 2 coordinates each).
constexpr int32_t SYMMETRY_LIMIT = 8191;

constexpr int DESIGN_FIELD_COUNT = 17;
// Only the first ten fields of a design can be random.
constexpr int POT_LUCK_COUNT = 10;

// Indices into PotLuck; the order differs from the string order for ColorRotation, ColorBands
// and ColorBandWidth, and the settings keys "PotLuck0".."PotLuck9" use these indices.
enum PotLuckIndex : int {
  POT_LUCK_SYMMETRY = 0,
  POT_LUCK_SPIN = 1,
  POT_LUCK_LINE_SIZE = 2,
  POT_LUCK_TRAIL_LENGTH = 3,
  POT_LUCK_SPEED = 4,
  POT_LUCK_ROTATIONS = 5,
  POT_LUCK_COLOR_BANDS = 6,
  POT_LUCK_COLOR_BAND_WIDTH = 7,
  POT_LUCK_COLOR_ROTATION = 8,
  POT_LUCK_CHEESE = 9,
};

// Field values in design-string order. The initial values are the settings' defaults.
struct DesignParams {
  int32_t Symmetry = 7;
  int32_t Spin = 0;
  int32_t LineSize = 100;
  int32_t TrailLength = 120;
  int32_t Speed = 80;
  int32_t Rotations = 8;
  int32_t ColorRotation = 1;
  int32_t ColorBands = 0;
  int32_t ColorBandWidth = 11;
  int32_t Cheese = 0;
  int32_t Depth = 1;
  int32_t Floating = 0;
  int32_t Migrating = 0;
  int32_t Splitting = 1000;
  int32_t Snazziness = 1;
  int32_t PenWidth = 1;
  int32_t CheeseType = 1;

  bool PotLuck[POT_LUCK_COUNT] = {};

  // Field by its 0-based position in the design string.
  int32_t &Field(int position);
  int32_t Field(int position) const;
};

// The PotLuck index of the field at a 0-based string position (positions 0 to 9).
int PotLuckIndexOfField(int position);

// Why a design string is read: to show it now, or to load it into the configuration dialog.
enum class ParseMode { ForPlay, ForDialog };
