#include "engine/crt_random.h"

#include <gtest/gtest.h>

TEST(CrtRandom, FollowsTheClassicRuntimeSequence) {
  // The first values the C runtime gives after srand(1) and srand(12345).
  SeedRandom(1);
  EXPECT_EQ(NextRandom(), 41);
  EXPECT_EQ(NextRandom(), 18467);
  EXPECT_EQ(NextRandom(), 6334);
  SeedRandom(12345);
  EXPECT_EQ(NextRandom(), 7584);
  SeedRandom(1);
  EXPECT_EQ(RandomBelow(10), 1);
  EXPECT_EQ(RandomBelow(1000), 467);
}
