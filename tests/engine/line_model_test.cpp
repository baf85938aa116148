#include "engine/line_model.h"
#include "engine/renderer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/crt_random.h"

namespace {

// Applies a design the way design selection does, with nothing left to chance.
void Apply(int width, int height, const DesignParams &design) {
  ResetLineSet(RECT{0, 0, width, height}, design);
  SetSymmetry(design.Symmetry);
  SetSpin(design.Spin);
  SetLineSize(design.LineSize);
  SetTrailLength(design.TrailLength);
  SetSpeed(design.Speed);
  SetRotations(design.Rotations);
  SetCheese(design.Cheese);
}

int K(int r) { return r % 1000 - 2000; }

}  // namespace

TEST(LineModel, PreviewScalingAndSetterRules) {
  lineSet = LineSetState{};
  DesignParams design;
  design.Speed = 5;
  Apply(152, 112, design);
  // Too slow for the preview: the anchor stands still while its arm still turns.
  EXPECT_EQ(lineSet.effectiveSpeed, 0);
  lineSet.anchor = DoublePoint{40, 30};
  for (int i = 0; i < 5; ++i) AdvanceMotion();
  EXPECT_EQ(lineSet.anchor.x, 40);
  EXPECT_EQ(lineSet.anchor.y, 30);
  SetLineSize(100);
  SetSpeed(80);
  EXPECT_DOUBLE_EQ(lineSet.armLength, 14.84375);
  EXPECT_EQ(lineSet.effectiveSpeed, 11);
  // Scaling stops at the reference width.
  Apply(399, 300, DesignParams{});
  EXPECT_DOUBLE_EQ(lineSet.armLength, 100 * 399 / 1024.0);
  Apply(400, 300, DesignParams{});
  EXPECT_DOUBLE_EQ(lineSet.armLength, 100);
  EXPECT_EQ(lineSet.effectiveSpeed, 80);

  // Edited design strings: a negative symmetry draws like 0.
  SetSymmetry(-3);
  EXPECT_EQ(lineSet.symmetryCount, 0);
  EXPECT_FALSE(lineSet.mirrored);
  // Beyond what a trail-ring step holds draws the most copies the ring can erase.
  SetSymmetry(2147483647);
  EXPECT_EQ(lineSet.symmetryCount, SYMMETRY_LIMIT);
  EXPECT_GT(TrailRingSize(1, 1, 0, 2, lineSet.symmetryCount, true).ringLength, 0);
}

TEST(LineModel, RandomDrawsComeInTheirOrder) {
  lineSet = LineSetState{};
  DesignParams design;
  design.Symmetry = 7;
  design.Floating = 1;
  design.Depth = 3;
  SeedRandom(4242);
  int r[32];
  for (int &value : r) value = NextRandom();
  SeedRandom(4242);

  ResetLineSet(RECT{0, 0, 1000, 800}, design);
  double figure = FULL_CIRCLE / 7 + QUARTER_CIRCLE + (r[0] & 1 ? FULL_CIRCLE / 7 / 2 : 0);
  int n = 2;
  if (r[1] % 3 == 1) figure += r[n++] & 1 ? -QUARTER_CIRCLE : QUARTER_CIRCLE;
  EXPECT_DOUBLE_EQ(lineSet.figureAngle, figure);
  EXPECT_DOUBLE_EQ(lineSet.armAngle, (r[n++] % 1000) * 0.0033333333333333335);

  SetSpeed(100);
  EXPECT_DOUBLE_EQ(lineSet.anchorVelocity.x, 100 * 0.01 * K(r[n]) * 0.002);
  EXPECT_DOUBLE_EQ(lineSet.anchorVelocity.y, 100 * 0.01 * K(r[n + 1]) * 0.002);
  n += 2;
  // Floating: a coin for each pull, two velocities and a coin for each, then the place.
  EXPECT_DOUBLE_EQ(lineSet.centerAcceleration.x, r[n] & 1 ? -0.03 : 0.03);
  EXPECT_DOUBLE_EQ(lineSet.centerAcceleration.y, r[n + 1] & 1 ? 0.03 : -0.03);
  const double vx = 100 * 0.01 * K(r[n + 2]) * 0.002;
  EXPECT_DOUBLE_EQ(lineSet.centerVelocity.x, r[n + 4] & 1 ? -vx : vx);
  EXPECT_EQ(lineSet.center.x, r[n + 6] % 1000);
  EXPECT_EQ(lineSet.center.y, r[n + 7] % 800);
  // Depth above 1: three coins that are not used, then one draw per depth level.
  n += 8 + 3;
  for (double velocity : lineSet.migrationVelocity) EXPECT_DOUBLE_EQ(velocity, 100 * 0.000125 * K(r[n++]) * 0.0004);
  EXPECT_EQ(NextRandom(), r[n]);
}

TEST(LineModel, AnchorBouncesTurnsAndSplits) {
  lineSet = LineSetState{};
  DesignParams design;
  design.Splitting = 0;
  Apply(640, 480, design);
  // On the edge exactly is no bounce; beyond it is.
  lineSet.anchorAcceleration = DoublePoint{};
  lineSet.anchor = DoublePoint{10, 10};
  lineSet.anchorVelocity = DoublePoint{-10, 470};
  AdvanceMotion();
  EXPECT_EQ(lineSet.anchorVelocity.x, -10);
  EXPECT_EQ(lineSet.anchor.y, 480);
  AdvanceMotion();
  EXPECT_EQ(lineSet.anchor.x, 0);
  EXPECT_EQ(lineSet.anchor.y, 480);
  EXPECT_EQ(lineSet.anchorVelocity.x, 10);
  EXPECT_EQ(lineSet.anchorVelocity.y, -470);

  // Rotations 10 from 0: past the full circle on step 63, then just above 0.
  SetRotations(10);
  lineSet.armAngle = 0;
  for (int i = 0; i < 63; ++i) AdvanceMotion();
  EXPECT_NEAR(lineSet.armAngle, 6.3 - 6.283185307, 1e-9);

  // Splitting 0 draws nothing; Splitting 1 jumps on every step.
  SeedRandom(5);
  const int first = NextRandom();
  SeedRandom(5);
  TickSplitTimer();
  EXPECT_EQ(NextRandom(), first);
  design.Splitting = 1;
  Apply(640, 480, design);
  SeedRandom(9);
  const int x = NextRandom() % 640, y = NextRandom() % 480;
  SeedRandom(9);
  TickSplitTimer();
  EXPECT_EQ(lineSet.anchor.x, x);
  EXPECT_EQ(lineSet.anchor.y, y);

  // A sound split throws the anchor from the centre, kept inside, and sends it further out.
  for (int radius : {150, -150, 5000}) {
    ReseedMotion(true, radius);
    EXPECT_TRUE(lineSet.anchor.x >= 0 && lineSet.anchor.x <= 639 && lineSet.anchor.y >= 0 && lineSet.anchor.y <= 479);
    EXPECT_GE((lineSet.anchor.x - 320) * lineSet.anchorVelocity.x + (lineSet.anchor.y - 240) * lineSet.anchorVelocity.y, 0);
  }
  // A zero-sized client area splits without dividing by zero.
  Apply(0, 0, design);
  TickSplitTimer();
  EXPECT_EQ(lineSet.anchor.x, 0);
}

TEST(LineModel, SpinFloatingAndMigration) {
  lineSet = LineSetState{};
  DesignParams design;
  design.Spin = -4;
  Apply(800, 600, design);
  // One full swing in about 628 steps, 0.8 radians either side.
  const double start = lineSet.figureAngle;
  double lowest = start;
  for (int i = 0; i < 628; ++i, lowest = std::min(lowest, lineSet.figureAngle)) AdvanceMotion();
  EXPECT_NEAR(lowest - start, -0.8, 0.01);
  EXPECT_NEAR(lineSet.figureAngle, start, 0.01);

  // Floating: the centre is where its position got to before any bounce, inside the window.
  design.Floating = 1;
  Apply(800, 600, design);
  EXPECT_FALSE(lineSet.center.x == 400 && lineSet.center.y == 300);
  for (int i = 0; i < 2000; ++i) {
    const int x = static_cast<int>(lineSet.centerPos.x + lineSet.centerVelocity.x);
    AdvanceMotion();
    ASSERT_EQ(lineSet.center.x, x);
    ASSERT_TRUE(lineSet.centerPos.x >= 0 && lineSet.centerPos.x <= 800);
  }

  // Migrating, depth 3: the factors head for -2.2 first and stay within the limits.
  design.Floating = 0;
  design.Migrating = 1;
  design.Depth = 3;
  Apply(800, 600, design);
  AdvanceMotion();
  EXPECT_LT(lineSet.depthScale[2], 2.0);
  double lowestScale = 0;
  for (int i = 0; i < 100000; ++i, lowestScale = std::min(lowestScale, lineSet.depthScale[0])) {
    AdvanceMotion();
    ASSERT_LE(std::fabs(lineSet.depthScale[1]), DEPTH_SCALE_LIMIT);
  }
  EXPECT_EQ(lowestScale, -DEPTH_SCALE_LIMIT);
  // Depth 1 leaves the factors alone, though the drift has its velocities.
  design.Depth = 1;
  const double drifted = lineSet.migrationScale[0];
  Apply(800, 600, design);
  for (int i = 0; i < 10; ++i) AdvanceMotion();
  EXPECT_DOUBLE_EQ(lineSet.depthScale[0], 0.5);
  EXPECT_DOUBLE_EQ(lineSet.migrationScale[0], drifted);
}
