#include "raster.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace compat {

namespace {

// GDI scales far-out coordinates down instead of letting its error terms overflow.
constexpr int COORD_LIMIT = 0x10000000;

void CropPoint(int &x, int &y) {
  if (x >= COORD_LIMIT || x <= -COORD_LIMIT || y >= COORD_LIMIT || y <= -COORD_LIMIT) {
    x /= 8;
    y /= 8;
  }
}

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// One line in GDI's Bresenham form: a major axis stepped every pixel, a minor axis stepped
// when the error term (with its octant bias, which decides ties) says so.
struct Line {
  bool xMajor;
  int majorStart, minorStart;
  int majorSign, minorSign;
  int64_t dMajor, dMinor;
  int bias;
};

Line MakeLine(int x0, int y0, int x1, int y1) {
  const int64_t dx = int64_t(x1) - x0;
  const int64_t dy = int64_t(y1) - y0;
  // Octants are numbered clockwise from +x with y pointing down; 3, 5, 6 and 8 round ties
  // the other way, so a line and its reverse need not touch the same pixels.
  int octant;
  if (dy > 0) {
    if (dx > 0) octant = dx > dy ? 1 : 2;
    else octant = -dx > dy ? 4 : 3;
  } else {
    if (dx < 0) octant = -dx > -dy ? 5 : 6;
    else octant = dx > -dy ? 8 : 7;
  }
  Line line;
  line.bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  line.xMajor = std::llabs(dx) > std::llabs(dy);
  const int xSign = (octant == 1 || octant == 2 || octant == 7 || octant == 8) ? 1 : -1;
  const int ySign = octant <= 4 ? 1 : -1;
  if (line.xMajor) {
    line.majorStart = x0, line.minorStart = y0;
    line.majorSign = xSign, line.minorSign = ySign;
    line.dMajor = std::llabs(dx), line.dMinor = std::llabs(dy);
  } else {
    line.majorStart = y0, line.minorStart = x0;
    line.majorSign = ySign, line.minorSign = xSign;
    line.dMajor = std::llabs(dy), line.dMinor = std::llabs(dx);
  }
  return line;
}

// Minor offset after `step` major steps, in closed form, so a clipped line starts exactly
// where the full walk would be.
int64_t MinorAt(const Line &line, int64_t step) {
  return FloorDiv(2 * line.dMinor * step + line.dMajor - 1 + line.bias, 2 * line.dMajor);
}

// The steps [first, last] of `line` whose pixels lie in [left, right) x [top, bottom);
// false when none do.
bool ClipSteps(const Line &line, int64_t lastStep, int left, int top, int right, int bottom,
               int64_t &first, int64_t &last) {
  const int majorLo = line.xMajor ? left : top, majorHi = line.xMajor ? right : bottom;
  const int minorLo = line.xMajor ? top : left, minorHi = line.xMajor ? bottom : right;
  first = 0;
  last = lastStep;
  if (line.majorSign > 0) {
    first = std::max<int64_t>(first, int64_t(majorLo) - line.majorStart);
    last = std::min<int64_t>(last, int64_t(majorHi) - 1 - line.majorStart);
  } else {
    first = std::max<int64_t>(first, int64_t(line.majorStart) - (majorHi - 1));
    last = std::min<int64_t>(last, int64_t(line.majorStart) - majorLo);
  }
  int64_t mLo, mHi;
  if (line.minorSign > 0) {
    mLo = int64_t(minorLo) - line.minorStart;
    mHi = int64_t(minorHi) - 1 - line.minorStart;
  } else {
    mLo = int64_t(line.minorStart) - (minorHi - 1);
    mHi = int64_t(line.minorStart) - minorLo;
  }
  if (line.dMinor == 0) {
    if (mLo > 0 || mHi < 0) return false;
  } else {
    const int64_t twoMajor = 2 * line.dMajor, twoMinor = 2 * line.dMinor;
    first = std::max(first, CeilDiv(twoMajor * mLo - line.dMajor + 1 - line.bias, twoMinor));
    last = std::min(last, FloorDiv(twoMajor * (mHi + 1) - line.dMajor - line.bias, twoMinor));
  }
  return first <= last;
}

// The walk's state at a step: the pixel and the error term shifted so that the minor axis
// steps exactly when it is not negative.
struct WalkStart {
  int x, y;
  int trigger;
  int addStep, addStay;
};

WalkStart StartAt(const Line &line, int64_t step) {
  const int64_t minor = MinorAt(line, step);
  const int64_t err = 2 * line.dMinor - line.dMajor + 2 * line.dMinor * step - 2 * line.dMajor * minor;
  const int major = int(line.majorStart + line.majorSign * step);
  const int minorPos = int(line.minorStart + line.minorSign * minor);
  WalkStart start;
  start.x = line.xMajor ? major : minorPos;
  start.y = line.xMajor ? minorPos : major;
  start.trigger = int(err + line.bias - 1);
  start.addStep = int(2 * line.dMinor - 2 * line.dMajor);
  start.addStay = int(2 * line.dMinor);
  return start;
}

template <typename T>
T *PixelAt(Surface &surface, int x, int y);

template <>
uint8_t *PixelAt<uint8_t>(Surface &surface, int x, int y) {
  return surface.pixels8.data() + size_t(y) * surface.width + x;
}

template <>
uint32_t *PixelAt<uint32_t>(Surface &surface, int x, int y) {
  return surface.pixels32.data() + size_t(y) * surface.width + x;
}

// The hot loop: no bounds checks. Plain compare-and-step measured as fast here as masks or
// conditional moves, which lengthen the loop's dependency chain.
template <typename T>
void WalkPixels(T *p, ptrdiff_t majorStride, ptrdiff_t minorStride, int64_t count, int trigger,
                int addStep, int addStay, T value) {
  const ptrdiff_t bothStride = majorStride + minorStride;
  for (; count > 0; --count) {
    *p = value;
    if (trigger >= 0) {
      trigger += addStep;
      p += bothStride;
    } else {
      trigger += addStay;
      p += majorStride;
    }
  }
}

// floor(n / d) as (n * factor) >> shift, exact for every n below 2^NUMERATOR_BITS and d below
// 2^16 (division by an invariant integer, after Granlund and Montgomery).
constexpr int NUMERATOR_BITS = 30;
struct Reciprocal {
  uint64_t factor;
  int shift;
};

Reciprocal ReciprocalOf(uint64_t d) {
  const int bits = d > 1 ? 64 - __builtin_clzll(d - 1) : 0;  // ceil(log2 d)
  const int shift = NUMERATOR_BITS + bits;
  return Reciprocal{((uint64_t(1) << shift) + d - 1) / d, shift};
}

// A line whose box, widened by the brush's reach, misses the surface touches none of its
// pixels: a third of a design's lines can lie off the screen, and they cost no set-up.
bool WhollyOutside(const Surface &surface, int x0, int y0, int x1, int y1, int reachLeft,
                   int reachRight, int reachUp, int reachDown) {
  return int64_t(std::max(x0, x1)) + reachRight < 0 ||
         int64_t(std::min(x0, x1)) - reachLeft >= surface.width ||
         int64_t(std::max(y0, y1)) + reachDown < 0 ||
         int64_t(std::min(y0, y1)) - reachUp >= surface.height;
}

// Lines up to this many major steps walk in closed form: their numerators stay below
// 2^NUMERATOR_BITS.
constexpr int64_t CLOSED_FORM_MAX_STEPS = 1 << 14;
// Shallower than this many major steps per minor step, a line is filled as runs.
constexpr int64_t SPAN_MIN_RUN = 8;

template <typename T>
void FillRun(T *p, ptrdiff_t stride, int64_t count, T value) {
  if (stride == 1) {
    // Wide-pen rows are short: two overlapping word stores beat a call to memset.
    if (sizeof(T) == 1 && count >= 8 && count <= 16) {
      const uint64_t bytes = 0x0101010101010101ull * uint8_t(value);
      std::memcpy(p, &bytes, 8);
      std::memcpy(p + count - 8, &bytes, 8);
      return;
    }
    if (count < 8) {
      for (int64_t i = 0; i < count; ++i) p[i] = value;
      return;
    }
    std::fill(p, p + count, value);
    return;
  }
  for (; count > 0; --count, p += stride) *p = value;
}

// The steps [first, last] of a thin line to walk from `p`, the pixel of step `first`, whose
// minor offset from the line's start is `firstMinor`.
struct ThinSteps {
  int64_t dMajor, dMinor;
  int bias;
  bool xMajor;
  int64_t first, last, firstMinor;
  ptrdiff_t majorStride, minorStride;
};

// Every line is walked here, so this is the rasteriser's hot path: no bounds checks, and the
// minor offset of each step in closed form, which needs no branch per pixel.
template <typename T>
inline void WalkThin(T *p, const ThinSteps &s, T value) {
  const int64_t count = s.last - s.first + 1;
  if (s.dMinor == 0) {
    if (s.majorStride < 0) FillRun(p - (count - 1) * -s.majorStride, -s.majorStride, count, value);
    else FillRun(p, s.majorStride, count, value);
    return;
  }
  if (s.dMajor > CLOSED_FORM_MAX_STEPS) {
    const int64_t err =
        2 * s.dMinor - s.dMajor + 2 * s.dMinor * s.first - 2 * s.dMajor * s.firstMinor;
    WalkPixels(p, s.majorStride, s.minorStride, count, int(err + s.bias - 1),
               int(2 * s.dMinor - 2 * s.dMajor), int(2 * s.dMinor), value);
    return;
  }
  const uint64_t rounding = uint64_t(s.dMajor - 1 + s.bias);  // the minor's numerator at step 0
  if (s.xMajor && s.dMajor >= SPAN_MIN_RUN * s.dMinor) {
    // Shallow: one run per row. Run k of the walk starts at the first step whose minor offset
    // reaches k, ceil((k * 2 dMajor - rounding) / (2 dMinor)).
    const Reciprocal perMinor = ReciprocalOf(uint64_t(2 * s.dMinor));
    const uint64_t rowStart = uint64_t(2 * s.dMajor);
    const uint64_t roundUp = uint64_t(2 * s.dMinor - 1) - rounding;
    const uint64_t end = uint64_t(s.last) + 1;
    uint64_t step = uint64_t(s.first);
    for (uint64_t k = uint64_t(s.firstMinor) + 1;; ++k, p += s.minorStride) {
      const uint64_t next =
          std::min(((k * rowStart + roundUp) * perMinor.factor) >> perMinor.shift, end);
      const int64_t run = int64_t(next - step);
      FillRun(s.majorStride > 0 ? p : p - (run - 1), 1, run, value);
      p += s.majorStride * run;
      step = next;
      if (step == end) return;
    }
  }
  const Reciprocal perMajor = ReciprocalOf(uint64_t(2 * s.dMajor));
  const uint64_t increment = uint64_t(2 * s.dMinor) * perMajor.factor;
  uint64_t offset = (uint64_t(2 * s.dMinor * s.first) + rounding) * perMajor.factor -
                    (uint64_t(s.firstMinor) << perMajor.shift);
  const uint64_t end = offset + uint64_t(count) * increment;
  const int shift = perMajor.shift;
  const ptrdiff_t minorStride = s.minorStride, majorStride = s.majorStride;
  for (; offset != end; p += majorStride, offset += increment)
    p[ptrdiff_t(offset >> shift) * minorStride] = value;
}

// A line with both ends on the surface, the usual case: walked from its own start, with none
// of the divisions of clipping.
template <typename T>
inline void ThinLineWithin(Surface &surface, T *pixels, int x0, int y0, int x1, int y1, T value) {
  const int dx = x1 - x0, dy = y1 - y0;
  const int64_t adx = std::abs(dx), ady = std::abs(dy);
  ThinSteps s;
  s.xMajor = adx > ady;
  s.dMajor = s.xMajor ? adx : ady;
  s.dMinor = s.xMajor ? ady : adx;
  if (s.dMajor == 0) return;
  // Octants 3, 5, 6 and 8 (clockwise from +x, y down) break ties the other way.
  s.bias = s.xMajor ? dy <= 0 : dx < 0;
  s.first = 0;
  s.last = s.dMajor - 1;
  s.firstMinor = 0;
  const ptrdiff_t xStride = dx < 0 ? -1 : 1;
  const ptrdiff_t yStride = dy < 0 ? -ptrdiff_t(surface.width) : surface.width;
  s.majorStride = s.xMajor ? xStride : yStride;
  s.minorStride = s.xMajor ? yStride : xStride;
  WalkThin(pixels + ptrdiff_t(y0) * surface.width + x0, s, value);
  surface.damage.MarkLineWithin(x0, y0, x1, y1);
}

// Any other line, clipped to the surface in closed form, so it starts exactly where the full
// walk would be.
template <typename T>
void ThinLineClipped(Surface &surface, T *pixels, int x0, int y0, int x1, int y1, T value) {
  const Line line = MakeLine(x0, y0, x1, y1);
  ThinSteps s{line.dMajor, line.dMinor, line.bias, line.xMajor, 0, 0, 0, 0, 0};
  if (line.dMajor == 0 ||
      !ClipSteps(line, line.dMajor - 1, 0, 0, surface.width, surface.height, s.first, s.last))
    return;
  s.firstMinor = MinorAt(line, s.first);
  const int64_t major = line.majorStart + line.majorSign * s.first;
  const int64_t minor = line.minorStart + line.minorSign * s.firstMinor;
  const int64_t x = line.xMajor ? major : minor, y = line.xMajor ? minor : major;
  const ptrdiff_t xStride = line.xMajor ? line.majorSign : line.minorSign;
  const ptrdiff_t yStride = ptrdiff_t(line.xMajor ? line.minorSign : line.majorSign) * surface.width;
  s.majorStride = line.xMajor ? xStride : yStride;
  s.minorStride = line.xMajor ? yStride : xStride;
  WalkThin(pixels + ptrdiff_t(y) * surface.width + x, s, value);
  surface.damage.MarkLine(x0, y0, x1, y1, 1);
}

template <typename T>
void ThinLine(Surface &surface, T *pixels, int x0, int y0, int x1, int y1, T value) {
  const unsigned width = unsigned(surface.width), height = unsigned(surface.height);
  if (unsigned(x0) < width && unsigned(x1) < width && unsigned(y0) < height &&
      unsigned(y1) < height) {
    ThinLineWithin(surface, pixels, x0, y0, x1, y1, value);
  } else {
    CropPoint(x0, y0);
    CropPoint(x1, y1);
    if (WhollyOutside(surface, x0, y0, x1, y1, 0, 0, 0, 0)) return;
    ThinLineClipped(surface, pixels, x0, y0, x1, y1, value);
  }
  ++surface.generation;
}

// Per-row extents of a wide line, kept between calls so drawing allocates nothing. Padded
// above and below by a brush height, so rows just off the surface need no checks.
struct RowSpans {
  std::vector<int> lo, hi;
  int pad = 0;
};

thread_local RowSpans rowSpans;

// Unions the brush stamped at every centre of a run along the major axis into the row spans:
// a horizontal run widens each brush row, a vertical run stretches the brush downwards.
struct BrushRuns {
  const PenShape &shape;
  int *lo, *hi;  // indexed by surface row
  int rows, middle;

  void Horizontal(int y, int xa, int xb) {
    const int left = std::min(xa, xb), right = std::max(xa, xb);
    int *rowLo = lo + y + shape.top, *rowHi = hi + y + shape.top;
    for (int k = 0; k < rows; ++k) {
      rowLo[k] = std::min(rowLo[k], left + shape.left[k]);
      rowHi[k] = std::max(rowHi[k], right + shape.right[k]);
    }
  }

  void Vertical(int x, int ya, int yb) {
    const int top = std::min(ya, yb), bottom = std::max(ya, yb);
    // The brush rows over a row are a contiguous range; a disc is widest in its middle row,
    // so the range's row nearest the middle is the widest.
    for (int r = top + shape.top; r <= bottom + shape.top + rows - 1; ++r) {
      const int kLo = std::max(0, r - bottom - shape.top), kHi = std::min(rows - 1, r - top - shape.top);
      const int k = std::min(std::max(middle, kLo), kHi);
      lo[r] = std::min(lo[r], x + shape.left[k]);
      hi[r] = std::max(hi[r], x + shape.right[k]);
    }
  }
};

template <typename T>
void WideLine(Surface &surface, int x0, int y0, int x1, int y1, const PenShape &shape, T value) {
  const int rows = int(shape.left.size());
  const int reachLeft = shape.reachLeft, reachRight = shape.reachRight;
  const int reachUp = shape.reachUp, reachDown = shape.reachDown;
  const Line line = MakeLine(x0, y0, x1, y1);
  int64_t first = 0, last = 0;
  if (line.dMajor > 0) {
    if (!ClipSteps(line, line.dMajor, -reachRight, -reachDown, surface.width + reachLeft,
                   surface.height + reachUp, first, last))
      return;
  } else if (x0 < -reachRight || x0 >= surface.width + reachLeft || y0 < -reachDown ||
             y0 >= surface.height + reachUp) {
    return;
  }
  RowSpans &spans = rowSpans;
  if (spans.pad < rows || spans.lo.size() < size_t(surface.height + 2 * spans.pad)) {
    spans.pad = std::max(spans.pad, rows);
    spans.lo.assign(surface.height + 2 * spans.pad, INT32_MAX);
    spans.hi.assign(surface.height + 2 * spans.pad, INT32_MIN);
  }
  BrushRuns runs{shape, spans.lo.data() + spans.pad, spans.hi.data() + spans.pad, rows, (rows - 1) / 2};
  int yFirst = y0, yLast = y0;
  if (line.dMajor == 0) {
    runs.Horizontal(y0, x0, x0);
  } else {
    const WalkStart s = StartAt(line, first);
    int x = s.x, y = s.y, trigger = s.trigger;
    yFirst = y;
    int runStart = line.xMajor ? x : y;
    for (int64_t n = last - first + 1; n > 0; --n) {
      yLast = y;
      const bool step = trigger >= 0;
      if (step || n == 1) {
        if (line.xMajor) runs.Horizontal(y, runStart, x);
        else runs.Vertical(x, runStart, y);
      }
      if (line.xMajor) x += line.majorSign;
      else y += line.majorSign;
      if (step) {
        if (line.xMajor) y += line.minorSign;
        else x += line.minorSign;
        trigger += s.addStep;
        runStart = line.xMajor ? x : y;
      } else {
        trigger += s.addStay;
      }
    }
  }
  const int rowFirst = std::min(yFirst, yLast) + shape.top;
  const int rowLast = std::max(yFirst, yLast) + shape.top + rows - 1;
  for (int row = rowFirst; row <= rowLast; ++row) {
    if (unsigned(row) < unsigned(surface.height)) {
      const int lo = std::max(runs.lo[row], 0);
      const int hi = std::min(runs.hi[row], surface.width - 1);
      if (lo <= hi) FillRun(PixelAt<T>(surface, lo, row), 1, hi - lo + 1, value);
    }
    runs.lo[row] = INT32_MAX;
    runs.hi[row] = INT32_MIN;
  }
}

std::unique_ptr<PenShape> BuildRoundShape(int width) {
  // A disc of diameter `width`: centred on the pixel for odd widths, on its top-left corner
  // for even ones; a pixel belongs when its centre lies inside.
  auto shape = std::make_unique<PenShape>();
  shape->width = width;
  const double radius = width / 2.0;
  const double centre = (width % 2) ? 0.5 : 0.0;
  const int reach = width / 2 + 1;
  shape->top = 0;
  bool started = false;
  for (int dy = -reach; dy <= reach; ++dy) {
    const double cy = dy + 0.5 - centre;
    int lo = INT32_MAX, hi = INT32_MIN;
    for (int dx = -reach; dx <= reach; ++dx) {
      const double cx = dx + 0.5 - centre;
      if (cx * cx + cy * cy <= radius * radius) {
        lo = std::min(lo, dx);
        hi = std::max(hi, dx);
      }
    }
    if (lo > hi) continue;
    if (!started) shape->top = dy, started = true;
    shape->left.push_back(lo);
    shape->right.push_back(hi);
  }
  shape->reachLeft = -*std::min_element(shape->left.begin(), shape->left.end());
  shape->reachRight = *std::max_element(shape->right.begin(), shape->right.end());
  shape->reachUp = -shape->top;
  shape->reachDown = shape->top + int(shape->left.size()) - 1;
  return shape;
}

}  // namespace

const PenShape &RoundPenShape(int width) {
  static std::mutex guard;
  static std::map<int, std::unique_ptr<PenShape>> shapes;
  std::lock_guard<std::mutex> lock(guard);
  auto &slot = shapes[width];
  if (!slot) slot = BuildRoundShape(width);
  return *slot;
}

void DrawThinLine(Surface &surface, int x0, int y0, int x1, int y1, uint32_t pixel) {
  if (surface.indexed) ThinLine(surface, surface.pixels8.data(), x0, y0, x1, y1, uint8_t(pixel));
  else ThinLine(surface, surface.pixels32.data(), x0, y0, x1, y1, pixel);
}

void DrawWideLine(Surface &surface, int x0, int y0, int x1, int y1, const PenShape &shape,
                  uint32_t pixel) {
  CropPoint(x0, y0);
  CropPoint(x1, y1);
  if (WhollyOutside(surface, x0, y0, x1, y1, shape.reachLeft, shape.reachRight, shape.reachUp,
                    shape.reachDown))
    return;
  if (surface.indexed) WideLine<uint8_t>(surface, x0, y0, x1, y1, shape, uint8_t(pixel));
  else WideLine<uint32_t>(surface, x0, y0, x1, y1, shape, pixel);
  surface.damage.MarkLine(x0, y0, x1, y1, shape.width / 2 + 1);
  ++surface.generation;
}

void FillSurfaceRect(Surface &surface, int left, int top, int right, int bottom, uint32_t pixel) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, surface.width);
  bottom = std::min(bottom, surface.height);
  if (left >= right || top >= bottom) return;
  for (int y = top; y < bottom; ++y) {
    if (surface.indexed) FillRun(PixelAt<uint8_t>(surface, left, y), 1, right - left, uint8_t(pixel));
    else FillRun(PixelAt<uint32_t>(surface, left, y), 1, right - left, pixel);
  }
  surface.damage.MarkRect(left, top, right, bottom);
  ++surface.generation;
}

}  // namespace compat
