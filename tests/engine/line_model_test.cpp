#include "engine/line_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/applied_design.h"
#include "engine/crt_random.h"

// Random draws in their order, spin, floating and migration as they look are held by the
// golden pictures (one floats and migrates at depth 4).

TEST(LineModel, PreviewScalingAndSetterRules) {
  lineSet = LineSetState{};
  DesignParams design;
  design.Speed = 5;
  ApplyDesign(152, 112, design);
  // Too slow for the preview: the anchor stands still while its arm still turns.
  EXPECT_EQ(lineSet.effectiveSpeed, 0);
  lineSet.anchor = DoublePoint{40, 30};
  for (int i = 0; i < 5; ++i) AdvanceMotion();
  EXPECT_EQ(lineSet.anchor.x, 40);
  EXPECT_EQ(lineSet.anchor.y, 30);
  // Scaling below the reference width is what the small golden picture shows; it stops there.
  ApplyDesign(400, 300, DesignParams{});
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

TEST(LineModel, AnchorBouncesTurnsAndSplits) {
  lineSet = LineSetState{};
  DesignParams design;
  design.Splitting = 0;
  ApplyDesign(640, 480, design);
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

  // Timed splits (and none with Splitting 0) are what the golden pictures show.
  // A sound split throws the anchor from the centre, kept inside, and sends it further out.
  for (int radius : {150, -150, 5000}) {
    ReseedMotion(true, radius);
    EXPECT_TRUE(lineSet.anchor.x >= 0 && lineSet.anchor.x <= 639 && lineSet.anchor.y >= 0 &&
                lineSet.anchor.y <= 479);
    EXPECT_GE((lineSet.anchor.x - 320) * lineSet.anchorVelocity.x +
                  (lineSet.anchor.y - 240) * lineSet.anchorVelocity.y,
              0);
  }
  // A zero-sized client area splits without dividing by zero.
  design.Splitting = 1;
  ApplyDesign(0, 0, design);
  TickSplitTimer();
  EXPECT_EQ(lineSet.anchor.x, 0);
}

TEST(LineModel, FloatingAndMigrationStayInsideTheirLimits) {
  lineSet = LineSetState{};
  DesignParams design;
  // Floating: the centre is where its position got to before any bounce, inside the window.
  design.Floating = 1;
  ApplyDesign(800, 600, design);
  EXPECT_FALSE(lineSet.center.x == 400 && lineSet.center.y == 300);
  for (int i = 0; i < 2000; ++i) {
    const int x = static_cast<int>(lineSet.centerPos.x + lineSet.centerVelocity.x);
    AdvanceMotion();
    ASSERT_EQ(lineSet.center.x, x);
    ASSERT_TRUE(lineSet.centerPos.x >= 0 && lineSet.centerPos.x <= 800);
  }

  // Migrating, depth 3: the factors stay within the limits.
  design.Floating = 0;
  design.Migrating = 1;
  design.Depth = 3;
  ApplyDesign(800, 600, design);
  double lowestScale = 0;
  for (int i = 0; i < 100000; ++i, lowestScale = std::min(lowestScale, lineSet.depthScale[0])) {
    AdvanceMotion();
    ASSERT_LE(std::fabs(lineSet.depthScale[1]), DEPTH_SCALE_LIMIT);
  }
  EXPECT_EQ(lowestScale, -DEPTH_SCALE_LIMIT);
  // Depth 1 leaves the factors alone, though the drift has its velocities.
  design.Depth = 1;
  const double drifted = lineSet.migrationScale[0];
  ApplyDesign(800, 600, design);
  for (int i = 0; i < 10; ++i) AdvanceMotion();
  EXPECT_DOUBLE_EQ(lineSet.depthScale[0], 0.5);
  EXPECT_DOUBLE_EQ(lineSet.migrationScale[0], drifted);
}
