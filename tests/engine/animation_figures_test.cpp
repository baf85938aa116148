// Figures the animation driver computes: the throughput it stores and where a run's random sequence starts.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/animation_driver.h"

TEST(Throughput, LinesPerSecondStaysRightPastThe32BitProduct) {
  EXPECT_EQ(ThroughputLinesPerSecond(0, 0), 0);
  EXPECT_EQ(ThroughputLinesPerSecond(12345, 0), 0);
  EXPECT_EQ(ThroughputLinesPerSecond(3000, 1500), 2000);
  // Over a long design interval at full speed the count itself passes 32 bits.
  EXPECT_EQ(ThroughputLinesPerSecond(6000000000u, 1000000), 6000000);
  // More than a 32-bit long can say is stored as the largest figure it can.
  EXPECT_EQ(ThroughputLinesPerSecond(2147483647, 1), 2147483647);
}

TEST(RunSeed, EnvironmentNumberWinsOverTheTruncatedCalendarTime) {
  EXPECT_EQ(ChooseRunSeed("42", 1000), 42u);
  EXPECT_EQ(ChooseRunSeed("-1", 1000), 0xFFFFFFFFu);
  EXPECT_EQ(ChooseRunSeed(nullptr, 0x12340765), 0x0765u);
  // The time goes through a signed 16-bit value, as the classic srand((short)time()) did.
  EXPECT_EQ(ChooseRunSeed(nullptr, 0x12348765), 0xFFFF8765u);
  EXPECT_EQ(ChooseRunSeed("", 0x0001), 1u);
  EXPECT_EQ(ChooseRunSeed("12abc", 0x0002), 2u);
  EXPECT_EQ(ChooseRunSeed("seed", 0x0003), 3u);
}
