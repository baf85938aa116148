#include "engine/line_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/crt_random.h"

namespace {

RECT Client(int width, int height) { return RECT{0, 0, width, height}; }

// A fresh generator between tests: the model keeps anchor and migration across designs.
void ResetState() { lineSet = LineSetState{}; }

// Applies a design the way design selection does, with no randomness left in the values.
void Apply(const RECT &client, const DesignParams &design) {
  ResetLineSet(client, design);
  SetSymmetry(design.Symmetry);
  SetSpin(design.Spin);
  SetLineSize(design.LineSize);
  SetTrailLength(design.TrailLength);
  SetSpeed(design.Speed);
  SetRotations(design.Rotations);
  SetCheese(design.Cheese);
}

int Coin(int r) { return r & 1; }
int K(int r) { return r % 1000 - 2000; }

}  // namespace

TEST(LineModel, PreviewScalingAndSetterRules) {
  ResetState();
  DesignParams design;
  design.Splitting = 0;
  ResetLineSet(Client(152, 112), design);
  EXPECT_EQ(lineSet.screenCenter.x, 76);
  EXPECT_EQ(lineSet.screenCenter.y, 56);

  SetLineSize(100);
  EXPECT_DOUBLE_EQ(lineSet.armLength, 14.84375);
  EXPECT_DOUBLE_EQ(lineSet.baseLineSize, 14.84375);
  SetSpeed(80);
  EXPECT_EQ(lineSet.effectiveSpeed, 11);
  EXPECT_LT(lineSet.anchorVelocity.x, 0);
  EXPECT_LT(lineSet.anchorVelocity.y, 0);

  // Too slow for the preview: the anchor stands still while its arm still turns.
  lineSet.anchor = DoublePoint{40, 30};
  SetSpeed(5);
  SetRotations(10);
  EXPECT_EQ(lineSet.effectiveSpeed, 0);
  EXPECT_EQ(lineSet.anchorAcceleration.x, 0);
  lineSet.armAngle = 1.0;
  for (int i = 0; i < 5; ++i) AdvanceMotion();
  EXPECT_EQ(lineSet.anchor.x, 40);
  EXPECT_EQ(lineSet.anchor.y, 30);
  EXPECT_NEAR(lineSet.armAngle, 1.5, 1e-12);

  // A full-screen window keeps its values unscaled.
  ResetLineSet(Client(1920, 1080), design);
  SetLineSize(100);
  SetSpeed(80);
  EXPECT_DOUBLE_EQ(lineSet.armLength, 100);
  EXPECT_EQ(lineSet.effectiveSpeed, 80);
  EXPECT_DOUBLE_EQ(lineSet.anchorAcceleration.x, -0.0003 * 80);
  EXPECT_DOUBLE_EQ(lineSet.anchorAcceleration.y, 0.0003 * 80);

  SetSymmetry(0);
  EXPECT_EQ(lineSet.symmetryCount, 0);
  EXPECT_FALSE(lineSet.mirrored);
  EXPECT_DOUBLE_EQ(lineSet.rotationStep, FULL_CIRCLE);
  SetSymmetry(1);
  EXPECT_TRUE(lineSet.mirrored);
  EXPECT_DOUBLE_EQ(lineSet.rotationStep, FULL_CIRCLE);
  SetSymmetry(7);
  EXPECT_DOUBLE_EQ(lineSet.rotationStep, FULL_CIRCLE / 7);
  SetSymmetry(-3);  // an edited design string: drawn like 0
  EXPECT_EQ(lineSet.symmetryCount, 0);
  EXPECT_FALSE(lineSet.mirrored);

  SetCheese(90);
  EXPECT_EQ(lineSet.vertexCount, 3);
  EXPECT_DOUBLE_EQ(lineSet.cheeseAngle, 1.57079632675);
  SetCheese(0);
  EXPECT_EQ(lineSet.vertexCount, 2);
  EXPECT_DOUBLE_EQ(lineSet.cheeseAngle, 1.57079632675);

  SetSpin(-4);
  EXPECT_DOUBLE_EQ(lineSet.spinBase, -0.008);
  EXPECT_DOUBLE_EQ(lineSet.spinRate, -0.008);
}

TEST(LineModel, RandomDrawsComeInTheirOrder) {
  ResetState();
  DesignParams design;
  design.Symmetry = 7;
  design.Floating = 1;
  design.Depth = 3;
  design.Splitting = 0;

  SeedRandom(4242);
  int r[32];
  for (int &value : r) value = NextRandom();
  SeedRandom(4242);

  ResetLineSet(Client(1000, 800), design);
  double expectedFigure = FULL_CIRCLE / 7 + QUARTER_CIRCLE;
  if (Coin(r[0])) expectedFigure += FULL_CIRCLE / 7 / 2;
  int next = 2;
  if (r[1] % 3 == 1) expectedFigure += Coin(r[next++]) ? -QUARTER_CIRCLE : QUARTER_CIRCLE;
  EXPECT_DOUBLE_EQ(lineSet.figureAngle, expectedFigure);
  EXPECT_DOUBLE_EQ(lineSet.armAngle, (r[next++] % 1000) * 0.0033333333333333335);

  SetSpeed(100);
  EXPECT_DOUBLE_EQ(lineSet.anchorVelocity.x, 100 * 0.01 * K(r[next]) * 0.002);
  EXPECT_DOUBLE_EQ(lineSet.anchorVelocity.y, 100 * 0.01 * K(r[next + 1]) * 0.002);
  next += 2;
  // Floating: two coins for the pull, two velocity draws, two coins for them, two for the place.
  const double pull = 0.0003 * 100;
  EXPECT_DOUBLE_EQ(lineSet.centerAcceleration.x, Coin(r[next]) ? -pull : pull);
  EXPECT_DOUBLE_EQ(lineSet.centerAcceleration.y, Coin(r[next + 1]) ? pull : -pull);
  const double vx = 100 * 0.01 * K(r[next + 2]) * 0.002;
  const double vy = 100 * 0.01 * K(r[next + 3]) * 0.002;
  EXPECT_DOUBLE_EQ(lineSet.centerVelocity.x, Coin(r[next + 4]) ? -vx : vx);
  EXPECT_DOUBLE_EQ(lineSet.centerVelocity.y, Coin(r[next + 5]) ? -vy : vy);
  EXPECT_EQ(lineSet.center.x, r[next + 6] % 1000);
  EXPECT_EQ(lineSet.center.y, r[next + 7] % 800);
  next += 8;
  // Depth above 1: three unused coins, then one draw per depth level.
  next += 3;
  for (int level = 0; level < 3; ++level) {
    EXPECT_DOUBLE_EQ(lineSet.migrationVelocity[level], 100 * 0.000125 * K(r[next++]) * 0.0004);
  }
  EXPECT_EQ(NextRandom(), r[next]);

  // A symmetry of 2 or less (and the sentinel's own value above 2) picks the angle differently.
  design.Symmetry = 2;
  design.Floating = 0;
  SeedRandom(77);
  const int a = NextRandom(), b = NextRandom();
  SeedRandom(77);
  ResetLineSet(Client(1000, 800), design);
  EXPECT_DOUBLE_EQ(lineSet.figureAngle, (a % 1000) * 0.0033333333333333335);
  EXPECT_DOUBLE_EQ(lineSet.armAngle, (b % 1000) * 0.0033333333333333335);
}

TEST(LineModel, AnchorFliesBouncesAndSplits) {
  ResetState();
  DesignParams design;
  design.Splitting = 0;
  Apply(Client(640, 480), design);

  // On the edge exactly is no bounce; beyond it is.
  lineSet.anchorAcceleration = DoublePoint{};
  lineSet.anchor = DoublePoint{10, 10};
  lineSet.anchorVelocity = DoublePoint{-10, 470};
  AdvanceMotion();
  EXPECT_EQ(lineSet.anchor.x, 0);
  EXPECT_EQ(lineSet.anchor.y, 480);
  EXPECT_EQ(lineSet.anchorVelocity.x, -10);
  EXPECT_EQ(lineSet.anchorVelocity.y, 470);
  AdvanceMotion();
  EXPECT_EQ(lineSet.anchor.x, 0);
  EXPECT_EQ(lineSet.anchor.y, 480);
  EXPECT_EQ(lineSet.anchorVelocity.x, 10);
  EXPECT_EQ(lineSet.anchorVelocity.y, -470);
  // The arm ends are where the step put them, even outside the window.
  EXPECT_DOUBLE_EQ(lineSet.vertexB.y, 950 + 100 * std::sin(lineSet.armAngle - lineSet.turnRate));

  // Rotations 10 from 0: past the full circle after 63 steps, then just above 0.
  SetRotations(10);
  lineSet.armAngle = 0;
  for (int i = 0; i < 62; ++i) AdvanceMotion();
  EXPECT_NEAR(lineSet.armAngle, 6.2, 1e-9);
  AdvanceMotion();
  EXPECT_NEAR(lineSet.armAngle, 6.3 - 6.283185307, 1e-9);

  // Splitting 0 never splits and draws nothing; Splitting 1 jumps on every step.
  SeedRandom(5);
  const int first = NextRandom();
  SeedRandom(5);
  for (int i = 0; i < 10; ++i) TickSplitTimer();
  EXPECT_EQ(NextRandom(), first);

  design.Splitting = 1;
  Apply(Client(640, 480), design);
  SeedRandom(9);
  const int x = NextRandom() % 640, y = NextRandom() % 480;
  SeedRandom(9);
  TickSplitTimer();
  EXPECT_EQ(lineSet.anchor.x, x);
  EXPECT_EQ(lineSet.anchor.y, y);
  EXPECT_LT(lineSet.anchorVelocity.x, 0);
  EXPECT_LT(lineSet.anchorVelocity.y, 0);
  TickSplitTimer();
  EXPECT_EQ(lineSet.splitCounter, 0);

  // A sound split throws the anchor from the centre and sends it further away.
  for (int radius : {150, -150, 5000}) {
    ReseedMotion(true, radius);
    EXPECT_GE(lineSet.anchor.x, 0);
    EXPECT_LE(lineSet.anchor.x, 639);
    EXPECT_GE(lineSet.anchor.y, 0);
    EXPECT_LE(lineSet.anchor.y, 479);
    const double outward = (lineSet.anchor.x - lineSet.center.x) * lineSet.anchorVelocity.x +
                           (lineSet.anchor.y - lineSet.center.y) * lineSet.anchorVelocity.y;
    EXPECT_GE(outward, 0) << radius;
  }

  // A zero-sized client area still splits without dividing by zero.
  Apply(Client(0, 0), design);
  TickSplitTimer();
  EXPECT_EQ(lineSet.anchor.x, 0);
  EXPECT_EQ(lineSet.anchor.y, 0);
}

TEST(LineModel, SpinFloatingAndMigration) {
  ResetState();
  DesignParams design;
  design.Spin = -4;
  design.Splitting = 0;
  Apply(Client(800, 600), design);
  EXPECT_TRUE(lineSet.spinOscillates);
  // One full swing in about 628 steps, 0.8 radians either side of the mean.
  const double start = lineSet.figureAngle;
  double lowest = start;
  for (int i = 0; i < 628; ++i) {
    AdvanceMotion();
    lowest = std::min(lowest, lineSet.figureAngle);
  }
  EXPECT_NEAR(lowest - start, -0.8, 0.01);
  EXPECT_NEAR(lineSet.figureAngle, start, 0.01);

  // A spin drawn at random does not make a stored non-negative spin swing.
  design.Spin = 3;
  Apply(Client(800, 600), design);
  SetSpin(-4);
  EXPECT_FALSE(lineSet.spinOscillates);

  // Floating: the design starts away from the window's centre, and the centre stays inside.
  design.Floating = 1;
  bool leftTheMiddle = false;
  for (int seed = 1; seed <= 5; ++seed) {
    SeedRandom(seed);
    Apply(Client(800, 600), design);
    leftTheMiddle |= lineSet.center.x != 400 || lineSet.center.y != 300;
    for (int i = 0; i < 2000; ++i) {
      // The drawing centre is where the floating position got to before any bounce.
      const int x = static_cast<int>(lineSet.centerPos.x + lineSet.centerVelocity.x);
      const int y = static_cast<int>(lineSet.centerPos.y + lineSet.centerVelocity.y);
      AdvanceMotion();
      ASSERT_EQ(lineSet.center.x, x);
      ASSERT_EQ(lineSet.center.y, y);
      ASSERT_GE(lineSet.centerPos.x, 0);
      ASSERT_LE(lineSet.centerPos.x, 800);
      ASSERT_GE(lineSet.centerPos.y, 0);
      ASSERT_LE(lineSet.centerPos.y, 600);
    }
  }
  EXPECT_TRUE(leftTheMiddle);

  // Migrating with depth 3: the factors head for -2.2 first and stay within the limits.
  design.Floating = 0;
  design.Migrating = 1;
  design.Depth = 3;
  Apply(Client(800, 600), design);
  AdvanceMotion();
  EXPECT_LT(lineSet.depthScale[0], 0.5);
  EXPECT_LT(lineSet.depthScale[1], 0.25);
  EXPECT_LT(lineSet.depthScale[2], 2.0);
  bool reachedFloor = false;
  for (int i = 0; i < 200000; ++i) {
    AdvanceMotion();
    for (double scale : lineSet.depthScale) {
      ASSERT_GE(scale, -DEPTH_SCALE_LIMIT);
      ASSERT_LE(scale, DEPTH_SCALE_LIMIT);
      reachedFloor |= scale == -DEPTH_SCALE_LIMIT;
    }
  }
  EXPECT_TRUE(reachedFloor);
  // With depth 1 the drift, velocities and all, leaves the factors alone.
  design.Depth = 1;
  Apply(Client(800, 600), design);
  for (int i = 0; i < 100; ++i) AdvanceMotion();
  EXPECT_DOUBLE_EQ(lineSet.depthScale[0], 0.5);
  EXPECT_DOUBLE_EQ(lineSet.depthScale[2], 2.0);
  // A new design draws at the fixed factors until its first step, yet the drift goes on
  // from where it was.
  design.Depth = 3;
  const double drifted = lineSet.migrationScale[1];
  Apply(Client(800, 600), design);
  EXPECT_DOUBLE_EQ(lineSet.depthScale[1], 0.25);
  EXPECT_DOUBLE_EQ(lineSet.migrationScale[1], drifted);
}

TEST(LineModel, PixelCoordinatesTruncateAndStayWithin16Bits) {
  EXPECT_EQ(PixelCoord(12.9), 12);
  EXPECT_EQ(PixelCoord(-12.9), -12);
  EXPECT_EQ(PixelCoord(1e12), 32767);
  EXPECT_EQ(PixelCoord(-1e12), -32768);
  EXPECT_EQ(PixelCoord(std::nan("")), -32768);
  DesignParams design;
  design.Depth = 7;
  EXPECT_EQ(EffectiveDepth(design), 4);
  design.Depth = -2;
  EXPECT_EQ(EffectiveDepth(design), 1);
}
