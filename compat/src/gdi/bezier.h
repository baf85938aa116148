// Flattening cubic Bézier segments into pixel points. The result depends only on the four
// control points, so a curve drawn and later redrawn in black touches the same pixels.
#pragma once

#include "compat/win32_types.h"

namespace compat {

// Enough for the deepest subdivision FlattenBezier makes.
constexpr int MAX_BEZIER_POINTS = 256;

// Writes the points after p0 up to and including p3 (repeats of the previous point dropped,
// so a curve that starts and ends on p0 gives none) into out, which holds MAX_BEZIER_POINTS;
// returns how many.
int FlattenBezier(const POINT &p0, const POINT &p1, const POINT &p2, const POINT &p3, POINT *out);

}  // namespace compat
