#include "engine/palette_engine.h"

#include "audio/fake_wave_input.h"

#include "engine/crt_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

PaletteEngine &Engine() { return ThePaletteEngine(); }

void HoldWalks(int16_t red, int16_t green, int16_t blue) {
  const int16_t values[CHANNEL_COUNT] = {red, green, blue};
  for (int c = 0; c < CHANNEL_COUNT; ++c) {
    Engine().walks[c].value = values[c];
    Engine().walks[c].step = 0;
  }
}

PALETTEENTRY Entry(int i) { return Engine().entries->palPalEntry[i]; }

bool SameColour(const PALETTEENTRY &a, const PALETTEENTRY &b) {
  return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue &&
         a.peFlags == b.peFlags;
}

// Pens on a display without a palette take the walk colour, which the renderer steps: the
// golden true-colour pictures show it.

// Each test starts from a fresh engine; a palette built in memory lets the entry block be read
// back while the GDI calls run for real.
class PaletteEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Engine() = PaletteEngine{};
    SeedRandom(7);
  }
  void TearDown() override {
    ReleasePalette();
    Engine() = PaletteEngine{};
  }
  // Built from moving walks, so that neighbouring entries differ.
  static void BuildInMemory() {
    HoldWalks(10, 100, 200);
    Engine().walks[CHANNEL_RED].step = 3;
    Engine().walks[CHANNEL_GREEN].step = -5;
    Engine().walks[CHANNEL_BLUE].step = 7;
    Engine().displayPaletteSize = 256;
    Engine().entryCount = PALETTE_MAX_ENTRIES;
    BuildPalette();
    ASSERT_NE(Engine().palette, nullptr);
  }
};

}  // namespace

TEST_F(PaletteEngineTest, CapacityAvailabilityAndANarrowBand) {
  const struct {
    bool hasPalette;
    int32_t deviceSize, entries;
    bool available;
  } displays[] = {{true, 256, 236, true},
                  {true, 200, 199, true},
                  {true, 16, 236, false},
                  // The entry count survives for the band and sound formulas.
                  {false, 0, 236, false}};
  for (const auto &d : displays) {
    const PaletteSizes sizes = CapacityFor(d.hasPalette, d.deviceSize, PALETTE_MAX_ENTRIES);
    EXPECT_EQ(sizes.entryCount, d.entries) << d.deviceSize;
    Engine().displayPaletteSize = sizes.displayPaletteSize;
    Engine().entryCount = sizes.entryCount;
    EXPECT_EQ(PaletteAvailable(), d.available) << d.deviceSize;
  }

  // A one-wide band holds the walk whatever the step, large steps included (ordinary bounces
  // the golden pictures hold).
  ColourWalk &red = Engine().walks[CHANNEL_RED];
  red.lower = 100;
  red.upper = 101;
  red.value = 100;
  for (int16_t tryStep : {1, -1, 7, -300, 2000, -32000}) {
    red.step = tryStep;
    for (int i = 0; i < 50; ++i) {
      StepWalk();
      ASSERT_TRUE(red.value == 100 || red.value == 101) << tryStep;
    }
  }
}

// The green and blue stripes, snappy, out-of-control and modern ranges and the steps drawn
// from a range are what the golden pictures show.
TEST_F(PaletteEngineTest, StepRangesFollowTheSnazzinessAndWalksStartInsideTheLimits) {
  auto spread = [](int32_t snazziness, ColourChannel channel) {
    int lowest = 1 << 30, highest = -1;
    for (int i = 0; i < 4000; ++i) {
      const int32_t range = DrawStepRange(snazziness, channel);
      lowest = std::min(lowest, range);
      highest = std::max(highest, range);
    }
    return std::vector<int>{lowest, highest};
  };
  const struct {
    int32_t snazziness;
    ColourChannel channel;
    int lowest, highest;
  } ranges[] = {{SNAZZ_RED_STRIPES, CHANNEL_RED, 30, 169},
                {SNAZZ_EERIE, CHANNEL_GREEN, 2, 5},
                // Values no dialog offers get the default look instead of undrawable steps.
                {8, CHANNEL_RED, 5, 14},
                {-1, CHANNEL_BLUE, 5, 14}};
  for (const auto &r : ranges)
    EXPECT_EQ(spread(r.snazziness, r.channel), (std::vector<int>{r.lowest, r.highest}))
        << r.snazziness;
  const std::vector<int> random = spread(SNAZZ_RANDOM, CHANNEL_RED);
  EXPECT_TRUE(random[0] >= 3 && random[1] <= 101);

  // Start-up chooses every channel's range and seeds each walk inside the colour limits.
  ColourLimits limits;
  limits.lower[CHANNEL_RED] = 100;
  limits.upper[CHANNEL_RED] = 101;
  limits.lower[CHANNEL_GREEN] = 40;
  limits.upper[CHANNEL_GREEN] = 90;
  for (int i = 0; i < 200; ++i) {
    StartColourWalks(limits, 42);
    ASSERT_EQ(Engine().walks[CHANNEL_RED].value, 100);
    ASSERT_GE(Engine().walks[CHANNEL_GREEN].value, 40);
    ASSERT_LE(Engine().walks[CHANNEL_GREEN].value, 89);
    for (const ColourWalk &walk : Engine().walks)
      ASSERT_TRUE(walk.stepRange >= 5 && walk.stepRange <= 14);
  }
  EXPECT_EQ(Engine().walks[CHANNEL_GREEN].upper, 90);

  // While the sound drives the walks their ranges stay put.
  ColourWalk &green = Engine().walks[CHANNEL_GREEN];
  green.stepRange = 7;
  ASSERT_TRUE(StartFakeCapture(nullptr));
  ChooseStepRanges(SNAZZ_OUT_OF_CONTROL);
  EXPECT_EQ(green.stepRange, 7);
  EndFakeCapture();
}

TEST_F(PaletteEngineTest, SoundCaptureAddsDriftAndSinksIdleChannels) {
  HoldWalks(100, 100, 100);
  Engine().walks[CHANNEL_RED].step = 4;
  Engine().walks[CHANNEL_GREEN].soundDrift = 3;
  // Without capture, drift and idling do nothing.
  StepWalk();
  EXPECT_EQ(Engine().walks[CHANNEL_RED].value, 104);
  EXPECT_EQ(Engine().walks[CHANNEL_GREEN].value, 100);
  EXPECT_EQ(Engine().walks[CHANNEL_BLUE].idleCounter, 1);

  ASSERT_TRUE(StartFakeCapture(nullptr));
  for (int i = 0; i < 9; ++i) StepWalk();  // idle counters of green and blue reach 0 once
  EndFakeCapture();
  EXPECT_EQ(Engine().walks[CHANNEL_BLUE].value, 99);
  EXPECT_EQ(Engine().walks[CHANNEL_GREEN].value, 100 + 9 * 3 - 1);
  // A moving channel's counter stays at 0, so it loses one on every step.
  EXPECT_EQ(Engine().walks[CHANNEL_RED].value, 104 + 9 * 3);
}

TEST_F(PaletteEngineTest, BandsSwitchedOffLeaveTheFullColour) {
  BuildInMemory();
  HoldWalks(200, 120, 60);
  const PALETTEENTRY full{200, 120, 60, PC_RESERVED};
  SetBandCount(40);
  SetBandCount(0);
  RefreshAllEntries();
  for (int i = 0; i < 236; ++i) ASSERT_TRUE(SameColour(Entry(i), full)) << i;

  // Width 0 (black only where the phase dips below 0.01) and wider bands' ramps are what the
  // golden palette pictures show.
}

TEST_F(PaletteEngineTest, CursorWrapsAtTheEntryCountOrFiveQuartersOfTheTrailWithAudio) {
  BuildInMemory();
  SetRotationMode(nullptr, ROTATION_STATIC);
  // Five quarters of a trail of 8: from 1 the cursor runs up to 9 and starts again at 0.
  SetCursorWrap(true, 8);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(NextPenColour(), 0x01000000u | (2 + i) % 10) << i;

  // A trail left to chance (1993) wraps at the entry count, as does the setting off.
  for (bool audio : {true, false}) {
    SetCursorWrap(audio, audio ? 1993 : 8);
    EXPECT_EQ(AdvanceEntry(234, ROTATION_STATIC), 235);
    EXPECT_EQ(AdvanceEntry(235, ROTATION_STATIC), 0);
  }
}

TEST_F(PaletteEngineTest, RotationModesMoveEntriesAndFixedPaletteSwitchesCleanly) {
  // The built gradient and the flowing and wild rotations are what the golden palette
  // pictures show.
  BuildInMemory();
  // An unknown mode rewrites the entry at the cursor itself; a cursor parked past the end
  // (as the sound modulation leaves it) must not write outside the block.
  HoldWalks(1, 2, 3);
  EXPECT_EQ(AdvanceEntry(17, 9), 18);
  EXPECT_TRUE(SameColour(Entry(17), PALETTEENTRY{1, 2, 3, PC_RESERVED}));
  EXPECT_EQ(AdvanceEntry(236, 9), 0);

  SetRotationMode(nullptr, ROTATION_NONE);
  EXPECT_EQ(Engine().rotationMode, ROTATION_FIXED_PALETTE);
  // The fixed colours are what the golden wedges picture shows; switching writes every entry.
  for (int i = 0; i < 236; ++i) ASSERT_TRUE(SameColour(Entry(i), FixedPalette(i))) << i;
  // Lines keep their colour: pens take the walk colour mapped to the fixed entries.
  HoldWalks(0x12, 0x34, 0x56);
  EXPECT_EQ(NextPenColour(), 0x02563412u);

  Engine().paletteCursor = 77;
  SetRotationMode(nullptr, ROTATION_FLOWING);
  EXPECT_EQ(Engine().rotationMode, ROTATION_FLOWING);
  for (int i = 0; i < 236; ++i)
    ASSERT_TRUE(SameColour(Entry(i), PALETTEENTRY{0, 0, 0, PC_RESERVED})) << i;
  EXPECT_EQ(NextPenColour(), 0x01000002u) << "the cursor restarts at 1";
}
