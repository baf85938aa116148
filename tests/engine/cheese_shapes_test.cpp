#include "engine/cheese_shapes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using PointList = std::vector<std::pair<LONG, LONG>>;

PointList Points(const CheeseShape &shape) {
  PointList points;
  for (int i = 0; i < shape.count; ++i) points.emplace_back(shape.points[i].x, shape.points[i].y);
  return points;
}

const BulgeFrame FRAME{POINT{320, 240}, 640, 100.0};
const POINT V1{100, 100}, V2{200, 100}, V3{100, 200};

}  // namespace

// Every type is drawn in a golden picture (bulges toward the centre, scaled by the width).
TEST(CheeseShapes, TearDropsUnknownTypesAndDegenerateFigures) {
  // A tear drop's control points in this order; swapped, a mirrored design looks the same.
  EXPECT_EQ(Points(BuildCheeseShape(CHEESE_TEAR_DROPS, V1, V2, V3, FRAME)),
            (PointList{{200, 100}, {100, 200}, {100, 100}, {200, 100}}));
  for (int unknown : {-1, 6, 1993})
    EXPECT_EQ(BuildCheeseShape(unknown, V1, V2, V3, FRAME).count, 0);

  // Three coinciding vertices: a zero-length outline, a curve collapsed onto the bulge.
  const POINT p{320, 240};
  EXPECT_EQ(Points(BuildCheeseShape(CHEESE_WEDGES, p, p, p, FRAME)), PointList(4, {320, 240}));
  EXPECT_EQ(Points(BuildCheeseShape(CHEESE_TEAR_DROPS, p, p, p, FRAME)), PointList(4, {320, 240}));
  // No width to divide by: no bulge rather than a division by zero.
  EXPECT_EQ(Bulge(V2, BulgeFrame{POINT{0, 0}, 0, 100.0}).x, 0);
}
