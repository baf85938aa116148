#include "engine/palette_engine.h"

#include "audio/fake_wave_input.h"

#include "engine/crt_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Each test starts from a fresh engine with a 256-colour palette built in memory, so the
// entry block can be read back; the GDI calls run for real.
class PaletteEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ThePaletteEngine() = PaletteEngine{};
    SeedRandom(7);
  }
  void TearDown() override {
    ReleasePalette();
    ThePaletteEngine() = PaletteEngine{};
  }
  // Built from moving walks, so that neighbouring entries differ.
  static void BuildInMemory() {
    HoldWalks(10, 100, 200);
    ThePaletteEngine().walks[CHANNEL_RED].step = 3;
    ThePaletteEngine().walks[CHANNEL_GREEN].step = -5;
    ThePaletteEngine().walks[CHANNEL_BLUE].step = 7;
    PaletteSizes sizes = CapacityFor(true, 256, PALETTE_MAX_ENTRIES);
    ThePaletteEngine().displayPaletteSize = sizes.displayPaletteSize;
    ThePaletteEngine().entryCount = sizes.entryCount;
    BuildPalette();
    ASSERT_NE(ThePaletteEngine().palette, nullptr);
  }
  static void HoldWalks(int16_t red, int16_t green, int16_t blue) {
    const int16_t values[CHANNEL_COUNT] = {red, green, blue};
    for (int c = 0; c < CHANNEL_COUNT; ++c) {
      ThePaletteEngine().walks[c].value = values[c];
      ThePaletteEngine().walks[c].step = 0;
    }
  }
  static PALETTEENTRY Entry(int i) { return ThePaletteEngine().entries->palPalEntry[i]; }
};

bool SameColour(const PALETTEENTRY &a, const PALETTEENTRY &b) {
  return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue && a.peFlags == b.peFlags;
}

}  // namespace

TEST_F(PaletteEngineTest, CapacityAndBounceFollowTheWorkedExamples) {
  PaletteSizes full = CapacityFor(true, 256, PALETTE_MAX_ENTRIES);
  EXPECT_EQ(full.entryCount, 236);
  PaletteSizes smaller = CapacityFor(true, 200, PALETTE_MAX_ENTRIES);
  EXPECT_EQ(smaller.entryCount, 199);
  PaletteSizes tiny = CapacityFor(true, 16, PALETTE_MAX_ENTRIES);
  PaletteSizes none = CapacityFor(false, 0, PALETTE_MAX_ENTRIES);
  EXPECT_EQ(none.entryCount, 236) << "the entry count survives for the band and sound formulas";
  const PaletteSizes cases[] = {full, smaller, tiny, none};
  const bool available[] = {true, true, false, false};
  for (int i = 0; i < 4; ++i) {
    ThePaletteEngine().displayPaletteSize = cases[i].displayPaletteSize;
    ThePaletteEngine().entryCount = cases[i].entryCount;
    EXPECT_EQ(PaletteAvailable(), available[i]) << "case " << i;
  }

  int16_t step = 10;
  EXPECT_EQ(BounceValue(260, step, 0, 255), 250);
  EXPECT_EQ(step, -10);
  step = -10;
  EXPECT_EQ(BounceValue(-5, step, 0, 255), 5);
  EXPECT_EQ(step, 10);

  // A one-wide band holds the walk whatever the step, large steps included.
  ColourWalk &red = ThePaletteEngine().walks[CHANNEL_RED];
  red.lower = 100;
  red.upper = 101;
  red.value = 100;
  for (int16_t tryStep : {1, -1, 7, -300, 2000, -32000}) {
    red.step = tryStep;
    for (int i = 0; i < 50; ++i) {
      StepWalk();
      ASSERT_GE(red.value, 100);
      ASSERT_LE(red.value, 101);
    }
  }
}

TEST_F(PaletteEngineTest, StepRangesAndStepsStayInsideTheirTables) {
  auto rangeSpread = [](int32_t snazziness, ColourChannel channel) {
    int lowest = 1 << 30, highest = -1;
    for (int i = 0; i < 4000; ++i) {
      int32_t range = DrawStepRange(snazziness, channel);
      lowest = std::min(lowest, range);
      highest = std::max(highest, range);
    }
    return std::make_pair(lowest, highest);
  };
  EXPECT_EQ(rangeSpread(SNAZZ_RED_STRIPES, CHANNEL_RED), std::make_pair(30, 169));
  EXPECT_EQ(rangeSpread(SNAZZ_RED_STRIPES, CHANNEL_GREEN), std::make_pair(5, 14));
  EXPECT_EQ(rangeSpread(SNAZZ_RED_STRIPES, CHANNEL_BLUE), std::make_pair(5, 14));
  EXPECT_EQ(rangeSpread(SNAZZ_BLUE_STRIPES, CHANNEL_BLUE), std::make_pair(30, 169));
  EXPECT_EQ(rangeSpread(SNAZZ_EERIE, CHANNEL_GREEN), std::make_pair(2, 5));
  EXPECT_EQ(rangeSpread(SNAZZ_OUT_OF_CONTROL, CHANNEL_RED), std::make_pair(20, 129));
  std::pair<int, int> random = rangeSpread(SNAZZ_RANDOM, CHANNEL_RED);
  EXPECT_GE(random.first, 3);
  EXPECT_LE(random.second, 101);
  // Values no dialog offers fall back to the default look instead of leaving steps undrawable.
  EXPECT_EQ(rangeSpread(8, CHANNEL_RED), std::make_pair(5, 14));
  EXPECT_EQ(rangeSpread(-1, CHANNEL_BLUE), std::make_pair(5, 14));

  ChooseStepRanges(42);
  for (const ColourWalk &walk : ThePaletteEngine().walks) {
    EXPECT_GE(walk.stepRange, 5);
    EXPECT_LE(walk.stepRange, 14);
  }

  // Start-up takes the colour limits as bounds and seeds each walk inside them.
  ColourLimits limits;
  limits.lower[CHANNEL_RED] = 100;
  limits.upper[CHANNEL_RED] = 101;
  limits.lower[CHANNEL_GREEN] = 40;
  limits.upper[CHANNEL_GREEN] = 90;
  for (int i = 0; i < 200; ++i) {
    StartColourWalks(limits, SNAZZ_MODERN);
    ASSERT_EQ(ThePaletteEngine().walks[CHANNEL_RED].value, 100);
    ASSERT_GE(ThePaletteEngine().walks[CHANNEL_GREEN].value, 40);
    ASSERT_LE(ThePaletteEngine().walks[CHANNEL_GREEN].value, 89);
  }
  EXPECT_EQ(ThePaletteEngine().walks[CHANNEL_GREEN].upper, 90);

  ColourWalk &green = ThePaletteEngine().walks[CHANNEL_GREEN];
  green.stepRange = 7;
  int lowest = 100, highest = -100;
  for (int i = 0; i < 500; ++i) {
    RandomizeSteps();
    lowest = std::min<int>(lowest, green.step);
    highest = std::max<int>(highest, green.step);
  }
  EXPECT_EQ(lowest, -3);
  EXPECT_EQ(highest, 3);

  // While the sound drives the walks their ranges stay put.
  ASSERT_TRUE(StartFakeCapture(nullptr));
  ChooseStepRanges(SNAZZ_OUT_OF_CONTROL);
  EXPECT_EQ(green.stepRange, 7);
  EndFakeCapture();
}

TEST_F(PaletteEngineTest, SoundCaptureAddsDriftAndSinksIdleChannels) {
  HoldWalks(100, 100, 100);
  ThePaletteEngine().walks[CHANNEL_RED].step = 4;
  ThePaletteEngine().walks[CHANNEL_GREEN].soundDrift = 3;
  // Without capture, drift and idling do nothing.
  StepWalk();
  EXPECT_EQ(ThePaletteEngine().walks[CHANNEL_RED].value, 104);
  EXPECT_EQ(ThePaletteEngine().walks[CHANNEL_GREEN].value, 100);
  EXPECT_EQ(ThePaletteEngine().walks[CHANNEL_BLUE].idleCounter, 1);

  ASSERT_TRUE(StartFakeCapture(nullptr));
  for (int i = 0; i < 9; ++i) StepWalk();  // idle counters of green and blue reach 0 once
  EndFakeCapture();
  EXPECT_EQ(ThePaletteEngine().walks[CHANNEL_BLUE].value, 99);
  EXPECT_EQ(ThePaletteEngine().walks[CHANNEL_GREEN].value, 100 + 9 * 3 - 1);
  // A moving channel's counter stays at 0, so it loses one on every step.
  EXPECT_EQ(ThePaletteEngine().walks[CHANNEL_RED].value, 104 + 9 * 3);
}

TEST_F(PaletteEngineTest, BandTablesShapeTheEntryBrightness) {
  SetBandWidth(0);
  EXPECT_EQ(ThePaletteEngine().bandTable[0], 0.0);
  for (int k = 1; k <= 100; ++k) ASSERT_EQ(ThePaletteEngine().bandTable[k], 1.0) << k;
  SetBandWidth(10);
  for (int k = 1; k <= 100; ++k) ASSERT_NEAR(ThePaletteEngine().bandTable[k], k / 100.0, 1e-12) << k;
  SetBandWidth(30);
  EXPECT_NEAR(ThePaletteEngine().bandTable[50], 0.125, 1e-12);
  EXPECT_NEAR(ThePaletteEngine().bandTable[100], 1.0, 1e-12);

  BuildInMemory();
  HoldWalks(200, 120, 60);
  SetBandCount(0);
  RefreshAllEntries();
  for (int i = 0; i < 236; ++i) {
    ASSERT_TRUE(SameColour(Entry(i), PALETTEENTRY{200, 120, 60, PC_RESERVED})) << i;
  }

  // Width 0 with bands on: full brightness, black only where the phase dips below 0.01,
  // which with 40 bands happens once per palette, half-way through, for a few entries.
  SetBandWidth(0);
  SetBandCount(40);
  RefreshAllEntries();
  int firstBlack = -1, lastBlack = -1;
  for (int i = 0; i < 236; ++i) {
    if (SameColour(Entry(i), PALETTEENTRY{0, 0, 0, PC_RESERVED})) {
      if (firstBlack < 0) firstBlack = i;
      lastBlack = i;
    } else {
      ASSERT_TRUE(SameColour(Entry(i), PALETTEENTRY{200, 120, 60, PC_RESERVED})) << i;
    }
  }
  EXPECT_GE(firstBlack, 110);
  EXPECT_LE(lastBlack, 125);
  EXPECT_LE(lastBlack - firstBlack, 5);

  // Width 10 ramps linearly: the dimmest entry of a pass is near black, the entries fade
  // down to it and up again.
  SetBandWidth(10);
  SetBandCount(40);
  RefreshAllEntries();
  EXPECT_NEAR(Entry(0).peRed, 198, 1);  // phase 0.99
  EXPECT_LT(Entry(117).peRed, 3);
  EXPECT_GT(Entry(60).peRed, Entry(100).peRed);
  EXPECT_LT(Entry(130).peRed, Entry(170).peRed);
}

TEST_F(PaletteEngineTest, CursorWrapsAtTheEntryCountOrFiveQuartersOfTheTrailWithAudio) {
  BuildInMemory();
  HoldWalks(10, 20, 30);
  ThePaletteEngine().walks[CHANNEL_RED].step = 1;
  SetRotationMode(nullptr, ROTATION_STATIC);
  SetCursorWrap(true, 8);
  std::vector<COLORREF> colours;
  for (int i = 0; i < 11; ++i) colours.push_back(NextPenColour());
  const std::vector<COLORREF> expected = {0x01000002, 0x01000003, 0x01000004, 0x01000005,
                                          0x01000006, 0x01000007, 0x01000008, 0x01000009,
                                          0x01000000, 0x01000001, 0x01000002};
  EXPECT_EQ(colours, expected);
  // Static writes the entry it moves to, each with one more step of the walk.
  EXPECT_EQ(Entry(9).peRed, 10 + 8);
  EXPECT_EQ(Entry(0).peRed, 10 + 9);

  // A trail left to chance (1993) wraps at the entry count, as does the setting off.
  for (int audio : {1, 0}) {
    SetCursorWrap(audio, audio ? 1993 : 8);
    EXPECT_EQ(AdvanceEntry(234, ROTATION_STATIC), 235);
    EXPECT_EQ(AdvanceEntry(235, ROTATION_STATIC), 0);
  }
}

TEST_F(PaletteEngineTest, RotationModesMoveEntriesAndFixedPaletteSwitchesCleanly) {
  BuildInMemory();
  // The walk fills the palette as a gradient.
  EXPECT_TRUE(SameColour(Entry(0), PALETTEENTRY{13, 95, 207, PC_RESERVED}));
  EXPECT_TRUE(SameColour(Entry(1), PALETTEENTRY{16, 90, 214, PC_RESERVED}));
  HoldWalks(50, 60, 70);
  PALETTEENTRY first = Entry(0);

  // Flowing: everything moves one place up, the new colour enters at 0.
  EXPECT_EQ(AdvanceEntry(5, ROTATION_FLOWING), 6);
  EXPECT_TRUE(SameColour(Entry(1), first));
  EXPECT_TRUE(SameColour(Entry(0), PALETTEENTRY{50, 60, 70, PC_RESERVED}));
  // Wild: everything moves one place down, the new colour enters at the end.
  HoldWalks(80, 90, 100);
  PALETTEENTRY second = Entry(1), last = Entry(235);
  EXPECT_EQ(AdvanceEntry(6, ROTATION_WILD), 7);
  EXPECT_TRUE(SameColour(Entry(0), second));
  EXPECT_TRUE(SameColour(Entry(234), last));
  EXPECT_TRUE(SameColour(Entry(235), PALETTEENTRY{80, 90, 100, PC_RESERVED}));
  // An unknown mode rewrites the entry at the cursor itself; a cursor parked past the end
  // (as the sound modulation leaves it) must not write outside the block.
  HoldWalks(1, 2, 3);
  EXPECT_EQ(AdvanceEntry(17, 9), 18);
  EXPECT_TRUE(SameColour(Entry(17), PALETTEENTRY{1, 2, 3, PC_RESERVED}));
  EXPECT_EQ(AdvanceEntry(236, 9), 0);

  SetRotationMode(nullptr, ROTATION_NONE);
  EXPECT_EQ(ThePaletteEngine().rotationMode, ROTATION_FIXED_PALETTE);
  for (int i = 0; i < 236; ++i) ASSERT_TRUE(SameColour(Entry(i), FixedPalette(i))) << i;
  // Lines keep their colour: pens take the walk colour mapped to the fixed entries.
  HoldWalks(0x12, 0x34, 0x56);
  EXPECT_EQ(NextPenColour(), 0x02563412u);
  // Asking again while fixed leaves the entries alone.
  ThePaletteEngine().entries->palPalEntry[3] = PALETTEENTRY{9, 9, 9, 0};
  SetRotationMode(nullptr, ROTATION_NONE);
  EXPECT_EQ(Entry(3).peRed, 9);

  ThePaletteEngine().paletteCursor = 77;
  SetRotationMode(nullptr, ROTATION_FLOWING);
  EXPECT_EQ(ThePaletteEngine().rotationMode, ROTATION_FLOWING);
  for (int i = 0; i < 236; ++i) ASSERT_TRUE(SameColour(Entry(i), PALETTEENTRY{0, 0, 0, PC_RESERVED})) << i;
  EXPECT_EQ(NextPenColour(), 0x01000002u) << "the cursor restarts at 1";
}

TEST_F(PaletteEngineTest, FixedPaletteAndTheDirectColourWithoutAPalette) {
  const int samples[][4] = {{0, 40, 20, 40}, {3, 232, 20, 40}, {4, 40, 20, 104}, {16, 40, 52, 40}, {127, 232, 244, 232}};
  for (const auto &s : samples) {
    PALETTEENTRY e = FixedPalette(s[0]);
    EXPECT_EQ(e.peRed, s[1]) << s[0];
    EXPECT_EQ(e.peGreen, s[2]) << s[0];
    EXPECT_EQ(e.peBlue, s[3]) << s[0];
    EXPECT_EQ(e.peFlags, 0) << s[0];
    EXPECT_TRUE(SameColour(FixedPalette(s[0] + 128), e)) << s[0];
  }

  // No palette: nothing is built, modes are ignored, pens get the walk colour.
  ThePaletteEngine().displayPaletteSize = 0;
  BuildPalette();
  EXPECT_EQ(ThePaletteEngine().palette, nullptr);
  SetRotationMode(nullptr, ROTATION_NONE);
  EXPECT_EQ(ThePaletteEngine().rotationMode, ROTATION_FLOWING);
  HoldWalks(0xAB, 0xCD, 0xEF);
  ThePaletteEngine().walks[CHANNEL_RED].step = 1;
  EXPECT_EQ(NextPenColour(), 0x02EFCDABu);
  EXPECT_EQ(ThePaletteEngine().walks[CHANNEL_RED].value, 0xAB) << "the renderer steps the walk, not the pen";
}
