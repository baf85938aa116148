#include "bezier.h"

#include <algorithm>
#include <cmath>

namespace compat {

namespace {

constexpr int MAX_DEPTH = 8;  // 2^8 = MAX_BEZIER_POINTS pieces at most
// A piece is flat enough when its control points stray from a straight, evenly paced line
// by at most this many pixels.
constexpr double FLATNESS = 0.5;

struct Vec {
  double x, y;
};

Vec Mid(Vec a, Vec b) { return {(a.x + b.x) * 0.5, (a.y + b.y) * 0.5}; }

bool Flat(Vec a, Vec b, Vec c, Vec d) {
  const double e1 = std::max(std::fabs(a.x - 2 * b.x + c.x), std::fabs(a.y - 2 * b.y + c.y));
  const double e2 = std::max(std::fabs(b.x - 2 * c.x + d.x), std::fabs(b.y - 2 * c.y + d.y));
  return std::max(e1, e2) <= FLATNESS;
}

struct Output {
  POINT *points;
  int count;
  POINT last;
  void Add(Vec v) {
    const POINT p{LONG(std::floor(v.x + 0.5)), LONG(std::floor(v.y + 0.5))};
    if (p.x == last.x && p.y == last.y) return;
    points[count++] = last = p;
  }
};

void Subdivide(Vec a, Vec b, Vec c, Vec d, int depth, Output &out) {
  if (depth == MAX_DEPTH || Flat(a, b, c, d)) {
    out.Add(d);
    return;
  }
  const Vec ab = Mid(a, b), bc = Mid(b, c), cd = Mid(c, d);
  const Vec abc = Mid(ab, bc), bcd = Mid(bc, cd);
  const Vec middle = Mid(abc, bcd);
  Subdivide(a, ab, abc, middle, depth + 1, out);
  Subdivide(middle, bcd, cd, d, depth + 1, out);
}

Vec ToVec(const POINT &p) { return {double(p.x), double(p.y)}; }

}  // namespace

int FlattenBezier(const POINT &p0, const POINT &p1, const POINT &p2, const POINT &p3, POINT *out) {
  Output output{out, 0, p0};
  Subdivide(ToVec(p0), ToVec(p1), ToVec(p2), ToVec(p3), 0, output);
  return output.count;
}

}  // namespace compat
