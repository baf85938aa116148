#include "engine/cheese_shapes.h"

#include <initializer_list>

#include "engine/line_model.h"

namespace {

POINT operator+(POINT a, POINT b) { return POINT{a.x + b.x, a.y + b.y}; }
POINT operator-(POINT a, POINT b) { return POINT{a.x - b.x, a.y - b.y}; }

CheeseShape Shape(CheeseShape::Kind kind, std::initializer_list<POINT> points) {
  CheeseShape shape;
  shape.kind = kind;
  for (POINT p : points) shape.points[shape.count++] = p;
  return shape;
}

int BulgeComponent(LONG centre, LONG vertex, const BulgeFrame &frame) {
  // Both components are divided by the width, the vertical one too.
  return PixelCoord(double(centre - vertex) / frame.windowWidth * frame.baseLineSize);
}

}  // namespace

POINT Bulge(POINT vertex, const BulgeFrame &frame) {
  if (frame.windowWidth <= 0) return POINT{0, 0};
  return POINT{BulgeComponent(frame.screenCenter.x, vertex.x, frame),
               BulgeComponent(frame.screenCenter.y, vertex.y, frame)};
}

CheeseShape BuildCheeseShape(int type, POINT v1, POINT v2, POINT v3, const BulgeFrame &frame) {
  switch (type) {
    case CHEESE_WEDGES:
      return Shape(CheeseShape::POLYLINE, {v1, v2, v3, v1});
    case CHEESE_HEARTS: {
      const POINT b3 = Bulge(v3, frame);
      return Shape(CheeseShape::BEZIER, {v2 + b3, v2 + v1 - v3, v1, v2, v3, v2 + v3 - v1, v2 + b3});
    }
    case CHEESE_MIXED_FRUITS: {
      const POINT b3 = Bulge(v3, frame);
      return Shape(CheeseShape::BEZIER, {v1, v2, v1 - b3, v3, v3 + v1 - v2, v3 + b3, v1});
    }
    case CHEESE_FIGURE_EIGHTS: {
      const POINT b2 = Bulge(v2, frame);
      return Shape(CheeseShape::BEZIER, {v2, v3, v1 - b2, v3 + v1 - v2, v3 + b2, v1, v2});
    }
    case CHEESE_TEAR_DROPS:
      return Shape(CheeseShape::BEZIER, {v2, v3, v1, v2});
    case CHEESE_STRINGS: {
      const POINT b2 = Bulge(v2, frame);
      return Shape(CheeseShape::BEZIER, {v1, v3, v3 - b2, v2});
    }
    default:
      return CheeseShape{};
  }
}

void DrawCheeseFigure(HDC dc, const CheeseShape &shape) {
  switch (shape.kind) {
    case CheeseShape::POLYLINE:
      MoveToEx(dc, shape.points[0].x, shape.points[0].y, nullptr);
      for (int i = 1; i < shape.count; ++i) LineTo(dc, shape.points[i].x, shape.points[i].y);
      break;
    case CheeseShape::BEZIER:
      PolyBezier(dc, shape.points, shape.count);
      break;
    case CheeseShape::NONE:
      break;
  }
}
