// The figures a wedge copy is drawn as: its outline or one of five Bezier shapes.
#pragma once

#include <windows.h>

enum CheeseType : int {
  CHEESE_WEDGES = 0,
  CHEESE_HEARTS = 1,
  CHEESE_MIXED_FRUITS = 2,
  CHEESE_FIGURE_EIGHTS = 3,
  CHEESE_TEAR_DROPS = 4,
  CHEESE_STRINGS = 5,
};

// What the bulges of a design scale with: they point toward the window's centre.
struct BulgeFrame {
  POINT screenCenter = {0, 0};
  int windowWidth = 0;
  double baseLineSize = 0.0;
};

struct CheeseShape {
  enum Kind { NONE, POLYLINE, BEZIER };
  Kind kind = NONE;
  int count = 0;
  POINT points[7] = {};
};

POINT Bulge(POINT vertex, const BulgeFrame &frame);

// The figure of one copy; an unknown type gives an empty figure.
CheeseShape BuildCheeseShape(int type, POINT v1, POINT v2, POINT v3, const BulgeFrame &frame);

void DrawCheeseFigure(HDC dc, const CheeseShape &shape);
