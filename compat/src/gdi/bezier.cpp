#include "bezier.h"

#include <algorithm>
#include <cmath>

namespace compat {

namespace {

constexpr int MAX_DEPTH = 8;  // 2^8 = MAX_BEZIER_POINTS pieces at most
// A piece is flat enough when its control points stray from a straight, evenly paced line
// by at most this many pixels.
constexpr double FLATNESS = 0.5;

// Nearest integer, halves rounding up; floor() itself is a library call here.
LONG RoundToPixel(double v) {
  v += 0.5;
  const long long i = static_cast<long long>(v);
  return LONG(i > v ? i - 1 : i);
}

}  // namespace

int FlattenBezier(const POINT &p0, const POINT &p1, const POINT &p2, const POINT &p3, POINT *out) {
  // Halving a curve quarters the second differences of its control points: that gives the
  // number of equal pieces, a power of two, that are each flat enough.
  double bend = std::max({std::fabs(double(p0.x) - 2.0 * p1.x + p2.x), std::fabs(double(p0.y) - 2.0 * p1.y + p2.y),
                          std::fabs(double(p1.x) - 2.0 * p2.x + p3.x), std::fabs(double(p1.y) - 2.0 * p2.y + p3.y)});
  int depth = 0;
  while (depth < MAX_DEPTH && bend > FLATNESS) {
    bend /= 4;
    ++depth;
  }
  const int pieces = 1 << depth;
  int count = 0;
  POINT last = p0;
  for (int i = 1; i <= pieces; ++i) {
    const double t = double(i) / pieces, s = 1.0 - t;
    const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
    const POINT p{RoundToPixel(a * p0.x + b * p1.x + c * p2.x + d * p3.x),
                  RoundToPixel(a * p0.y + b * p1.y + c * p2.y + d * p3.y)};
    if (p.x == last.x && p.y == last.y) continue;
    out[count++] = last = p;
  }
  return count;
}

}  // namespace compat
