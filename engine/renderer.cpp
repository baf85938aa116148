#include "engine/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/cheese_shapes.h"
#include "engine/crt_random.h"
#include "engine/line_model.h"
#include "engine/palette_engine.h"

RendererState renderer;
uint64_t linesDrawn = 0;

namespace {

bool Running() { return renderer.links.running != nullptr && *renderer.links.running; }

bool HasRing() { return renderer.ring.values != nullptr && renderer.ring.ringLength > 0; }

// An edited settings file may ask for 0 or fewer repeats; every segment is drawn at least once.
int Repeats() { return std::max(renderer.links.divisor, 1); }

int PenWidth() { return std::clamp(lineSet.design.PenWidth, 1, 16); }

BulgeFrame CurrentBulgeFrame() {
  return BulgeFrame{lineSet.screenCenter, lineSet.windowWidth, lineSet.baseLineSize};
}

// Stores one entry (4 or 6 values) and moves on; one step never wraps inside an entry.
void Record(const int *coords, int count) {
  TrailRing &ring = renderer.ring;
  if (!HasRing()) return;
  int16_t *slot = ring.values + ring.writeIndex;
  for (int i = 0; i < count; ++i) slot[i] = static_cast<int16_t>(coords[i]);
  ring.writeIndex += count;
  if (ring.writeIndex >= ring.ringLength) ring.writeIndex = 0;
}

void EraseOldestStep(HDC dc) {
  const TrailRing &ring = renderer.ring;
  const int16_t *entry = ring.values + ring.writeIndex;
  if (lineSet.vertexCount == 3) {
    const int type = lineSet.design.CheeseType;
    const BulgeFrame frame = CurrentBulgeFrame();
    for (int i = 0; i < ring.linesPerStep; ++i, entry += 6) {
      DrawCheeseFigure(dc, BuildCheeseShape(type, POINT{entry[0], entry[1]}, POINT{entry[2], entry[3]},
                                            POINT{entry[4], entry[5]}, frame));
    }
  } else {
    for (int i = 0; i < ring.linesPerStep; ++i, entry += 4) {
      MoveToEx(dc, entry[0], entry[1], nullptr);
      LineTo(dc, entry[2], entry[3]);
    }
  }
}

void UpdateErasePen() {
  const int width = PenWidth();
  if (renderer.erasePen != nullptr && renderer.erasePenWidth == width) return;
  if (renderer.erasePen != nullptr) DeleteObject(renderer.erasePen);
  renderer.erasePen = CreatePen(PS_SOLID, width, RGB(0, 0, 0));
  renderer.erasePenWidth = width;
}

// The depth levels 2 to 4 give each vertex another vertex's radius, scaled by the level's
// factor and sign; its angle stays its own.
struct DepthLevel {
  double sign;
  int radiusOf[3];  // whose radius each vertex takes
};
constexpr DepthLevel SEGMENT_LEVELS[DEPTH_LEVEL_COUNT] = {{-1.0, {1, 0, 0}}, {1.0, {1, 0, 0}}, {-1.0, {0, 1, 0}}};
constexpr DepthLevel TRIANGLE_LEVELS[DEPTH_LEVEL_COUNT] = {{-1.0, {2, 0, 1}}, {1.0, {1, 2, 0}}, {-1.0, {2, 1, 0}}};

// Places every copy of an N-vertex figure. Each vertex is turned about the centre by rotating
// its unit direction with the running (cos m, sin m), itself advanced by one precomputed
// rotation per copy, so a copy costs no trigonometry at all.
template <int N, typename DrawCopy>
bool Replicate(POINT center, const POINT (&vertices)[N], float startAngle, const DepthLevel (&levels)[DEPTH_LEVEL_COUNT],
              DrawCopy drawCopy) {
  double unitX[N], unitY[N], radius[N];
  bool onCentre = false;
  for (int i = 0; i < N; ++i) {
    const double dx = double(vertices[i].x) - center.x;
    const double dy = double(vertices[i].y) - center.y;
    radius[i] = std::sqrt(dx * dx + dy * dy);
    unitX[i] = dx;
    unitY[i] = dy;
    if (dx == 0 && dy == 0) onCentre = true;
  }
  for (int i = 0; i < N; ++i) {
    // A vertex on the centre has no direction; all angles then count as 0.
    unitX[i] = onCentre ? 1.0 : unitX[i] / radius[i];
    unitY[i] = onCentre ? 0.0 : unitY[i] / radius[i];
  }

  const int depth = EffectiveDepth(lineSet.design);
  double levelRadius[1 + DEPTH_LEVEL_COUNT][N];
  for (int i = 0; i < N; ++i) levelRadius[0][i] = radius[i];
  for (int level = 1; level < depth; ++level) {
    const DepthLevel &rule = levels[level - 1];
    const double factor = rule.sign * lineSet.depthScale[level - 1];
    for (int i = 0; i < N; ++i) levelRadius[level][i] = factor * radius[rule.radiusOf[i]];
  }

  const bool mirrored = lineSet.mirrored;
  const int copies = lineSet.symmetryCount > 0 ? lineSet.symmetryCount : 1;
  const double stepCos = std::cos(lineSet.rotationStep);
  const double stepSin = std::sin(lineSet.rotationStep);
  double cosM = std::cos(double(startAngle));
  double sinM = std::sin(double(startAngle));
  const double cx = center.x;
  const double cy = center.y;

  for (int copy = 0; copy < copies; ++copy) {
    if (!PoliteCheck()) return false;
    double turnedX[N], turnedY[N], mirrorX[N], mirrorY[N];
    for (int i = 0; i < N; ++i) {
      turnedX[i] = cosM * unitX[i] - sinM * unitY[i];  // angle m + theta
      turnedY[i] = sinM * unitX[i] + cosM * unitY[i];
      mirrorX[i] = cosM * unitX[i] + sinM * unitY[i];  // angle m - theta
      mirrorY[i] = sinM * unitX[i] - cosM * unitY[i];
    }
    for (int level = 0; level < depth; ++level) {
      const double *r = levelRadius[level];
      POINT placed[N];
      for (int i = 0; i < N; ++i) placed[i] = POINT{PixelCoord(cx + r[i] * turnedX[i]), PixelCoord(cy + r[i] * turnedY[i])};
      drawCopy(placed);
      if (mirrored) {
        for (int i = 0; i < N; ++i) placed[i] = POINT{PixelCoord(cx + r[i] * mirrorX[i]), PixelCoord(cy + r[i] * mirrorY[i])};
        drawCopy(placed);
      }
    }
    const double nextCos = cosM * stepCos - sinM * stepSin;
    sinM = sinM * stepCos + cosM * stepSin;
    cosM = nextCos;
  }
  return true;
}

POINT Offset(POINT p, POINT by) { return POINT{PixelCoord(double(p.x) + by.x), PixelCoord(double(p.y) + by.y)}; }

}  // namespace

void AttachRenderer(const RendererLinks &links) { renderer.links = links; }

ReflectionOffsets MakeReflectionOffsets(int count, int radius) {
  ReflectionOffsets offsets;
  offsets.count = std::clamp(count, 0, MAX_REFLECTIONS);
  for (int i = 0; i < offsets.count; ++i) {
    const double a = double(i) / offsets.count * FULL_CIRCLE;
    offsets.offset[i] = POINT{static_cast<LONG>(std::sin(a) * radius), static_cast<LONG>(std::cos(a) * radius)};
  }
  return offsets;
}

RingSize TrailRingSize(int trailLength, int depth, int reflections, int vertexCount, int symmetryCount,
                       bool mirrored) {
  // Trail lengths below 1 (edited design strings) would leave no ring to wrap in.
  const int64_t t = std::max(trailLength, 1);
  const int64_t d = depth;
  const int64_t n = reflections > 0 ? reflections : 1;
  const int64_t v = vertexCount;
  const int64_t s = symmetryCount;
  const int64_t linesPerStep = mirrored ? d * n * s * 2 : d * n;
  const int64_t stepValues = linesPerStep * v * 2;
  int64_t length = t * stepValues;
  // Keep whole steps only; a step too big for the ring leaves the design without one.
  if (length > TRAIL_RING_MAX_SHORTS) length = TRAIL_RING_MAX_SHORTS / stepValues * stepValues;
  RingSize size;
  size.ringLength = static_cast<int>(length);
  size.linesPerStep = length > 0 ? static_cast<int>(linesPerStep) : 0;
  return size;
}

void ResetTrailRing(int32_t reflections) {
  renderer.reflections = MakeReflectionOffsets(reflections, RandomBelow(400) + 30);

  TrailRing &ring = renderer.ring;
  const RingSize size = TrailRingSize(lineSet.trailLength, EffectiveDepth(lineSet.design), renderer.reflections.count,
                                      lineSet.vertexCount, lineSet.symmetryCount, lineSet.mirrored);
  ring.ringLength = size.ringLength;
  ring.linesPerStep = size.linesPerStep;
  ring.writeIndex = 0;

  if (ring.block == nullptr) {
    ring.block = GlobalAlloc(GMEM_MOVEABLE, TRAIL_BLOCK_BYTES);
    if (ring.block != nullptr) {
      ring.values = static_cast<int16_t *>(GlobalLock(ring.block));
      if (ring.values == nullptr) {
        GlobalFree(ring.block);
        ring.block = nullptr;
      }
    }
  }
  if (ring.values != nullptr) std::memset(ring.values, 0, sizeof(int16_t) * ring.ringLength);

  UpdateErasePen();
  renderer.resumePending = false;
}

void ReleaseTrailRing() {
  TrailRing &ring = renderer.ring;
  if (ring.values != nullptr) {
    GlobalUnlock(ring.block);
    ring.values = nullptr;
  }
  if (ring.block != nullptr) {
    GlobalFree(ring.block);
    ring.block = nullptr;
  }
  ring.ringLength = ring.writeIndex = ring.linesPerStep = 0;
  if (renderer.erasePen != nullptr) DeleteObject(renderer.erasePen);
  renderer.erasePen = nullptr;
  renderer.erasePenWidth = 0;
}

void StartTickClock() { renderer.tickStart = GetTickCount(); }

bool OverdueInputWaiting() {
  if (GetTickCount() - renderer.tickStart < LONG_TICK_MS) return false;
  MSG message;
  const HWND window = renderer.links.window;
  const bool waiting = PeekMessageA(&message, window, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) ||
                       PeekMessageA(&message, window, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE);
  return waiting && Running();
}

bool PoliteCheck() {
  if (!renderer.links.polite) return !OverdueInputWaiting();
  MSG message;
  if (!PeekMessageA(&message, renderer.links.window, 0, 0, PM_NOREMOVE)) return true;
  if (message.message == WM_TIMER || message.message == WM_DESTROY) return true;
  // The peek may have run our own handlers; only a still-running animation gives way.
  return !Running();
}

void DrawSegment(HDC dc, int x1, int y1, int x2, int y2) {
  ++linesDrawn;
  const int coords[4] = {x1, y1, x2, y2};
  Record(coords, 4);
  // Repeats cover the same pixels, so stopping them for input leaves the picture as it is.
  for (int i = Repeats(); i > 0; --i) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    if (i > 1 && !PoliteCheck()) break;
  }
}

void DrawCheeseShape(HDC dc, POINT v1, POINT v2, POINT v3) {
  linesDrawn += 3;
  const int coords[6] = {v1.x, v1.y, v2.x, v2.y, v3.x, v3.y};
  Record(coords, 6);
  const CheeseShape shape = BuildCheeseShape(lineSet.design.CheeseType, v1, v2, v3, CurrentBulgeFrame());
  for (int i = Repeats(); i > 0; --i) {
    DrawCheeseFigure(dc, shape);
    if (i > 1 && !PoliteCheck()) break;
  }
}

bool ReplicateSegment(HDC dc, POINT center, POINT v1, POINT v2, float startAngle) {
  const POINT vertices[2] = {v1, v2};
  return Replicate(center, vertices, startAngle, SEGMENT_LEVELS,
                   [dc](const POINT(&p)[2]) { DrawSegment(dc, p[0].x, p[0].y, p[1].x, p[1].y); });
}

bool ReplicateTriangle(HDC dc, POINT center, POINT v1, POINT v2, POINT v3, float startAngle) {
  const POINT vertices[3] = {v1, v2, v3};
  return Replicate(center, vertices, startAngle, TRIANGLE_LEVELS,
                   [dc](const POINT(&p)[3]) { DrawCheeseShape(dc, p[0], p[1], p[2]); });
}

bool DrawLineSet(HDC dc) {
  if (!Running()) return true;
  const int rememberedIndex = renderer.ring.writeIndex;
  HGDIOBJ originalPen = nullptr;
  if (!renderer.resumePending) {
    TickSplitTimer();
    if (renderer.erasePen != nullptr) originalPen = SelectObject(dc, renderer.erasePen);
    if (HasRing()) EraseOldestStep(dc);
    AdvanceMotion();
    StepWalk();
  }
  renderer.resumePending = false;

  HPEN pen = CreatePen(PS_SOLID, PenWidth(), NextPenColour());
  HGDIOBJ replaced = SelectObject(dc, pen);
  if (originalPen == nullptr) originalPen = replaced;

  const POINT center = lineSet.center;
  const POINT anchor = PixelPoint(lineSet.anchor);
  const POINT vertexB = PixelPoint(lineSet.vertexB);
  const POINT vertexC = PixelPoint(lineSet.vertexC);
  const float startAngle = static_cast<float>(lineSet.figureAngle);
  const bool triangle = lineSet.vertexCount == 3;
  auto drawAbout = [&](POINT by) {
    return triangle ? ReplicateTriangle(dc, Offset(center, by), Offset(anchor, by), Offset(vertexB, by),
                                        Offset(vertexC, by), startAngle)
                    : ReplicateSegment(dc, Offset(center, by), Offset(anchor, by), Offset(vertexB, by), startAngle);
  };
  bool complete = true;
  if (renderer.reflections.count == 0) {
    complete = drawAbout(POINT{0, 0});
  } else {
    for (int i = 0; i < renderer.reflections.count && complete; ++i) complete = drawAbout(renderer.reflections.offset[i]);
  }

  // Leave the device context with the pen it had, so no pen of ours stays selected.
  SelectObject(dc, originalPen);
  DeleteObject(pen);

  if (!complete) {
    renderer.resumePending = true;
    renderer.ring.writeIndex = rememberedIndex;
    return false;
  }
  return true;
}
