// Figures the animation driver computes: the throughput it stores (a run past the 32-bit product
// is the scripted host run's) and where a run's random sequence starts (a fixed seed reaching
// it the golden pictures show).
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/animation_driver.h"

TEST(AnimationFigures, ThroughputWithoutTimeOrBeyondALongAndTheRunSeed) {
  EXPECT_EQ(ThroughputLinesPerSecond(12345, 0), 0);
  EXPECT_EQ(ThroughputLinesPerSecond(2147483647, 1), 2147483647);

  EXPECT_EQ(ChooseRunSeed("-1", 1000), 0xFFFFFFFFu);
  // The time goes through a signed 16-bit value, as the classic srand((short)time()) did.
  EXPECT_EQ(ChooseRunSeed(nullptr, 0x12340765), 0x0765u);
  EXPECT_EQ(ChooseRunSeed(nullptr, 0x12348765), 0xFFFF8765u);
  EXPECT_EQ(ChooseRunSeed("12abc", 0x0002), 2u);
}
