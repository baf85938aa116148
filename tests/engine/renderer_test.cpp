#include "engine/renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/cheese_shapes.h"
#include "engine/crt_random.h"
#include "engine/line_model.h"
#include "engine/palette_engine.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

// A memory DC over a 32-bit DIB section: real GDI on Windows, the compat rasteriser on Linux.
class Canvas {
 public:
  Canvas() {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = WIDTH;
    info.bmiHeader.biHeight = -HEIGHT;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<const uint32_t *>(bits);
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  void Clear() const {
    const RECT all{0, 0, WIDTH, HEIGHT};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  bool ready() const { return dc_ != nullptr && pixels_ != nullptr; }
  int LitPixels() const {
    int lit = 0;
    for (int i = 0; i < WIDTH * HEIGHT; ++i) lit += (pixels_[i] & 0xFFFFFF) != 0;
    return lit;
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  const uint32_t *pixels_ = nullptr;
};

bool running = true;
SettingsStore store;

// Without a logical palette the pen colour is the walks' own colour.
void SetWalks(int16_t value, int16_t step) {
  for (ColourWalk &walk : ThePaletteEngine().walks) {
    walk.value = value;
    walk.step = step;
  }
}
void UseColourfulPens() { SetWalks(90, 7); }
void UseBlackPens() { SetWalks(0, 0); }

// Applies the store's design as design selection does, with nothing left to chance.
void ApplyDesign() {
  const DesignParams &d = store.Design;
  ResetLineSet(RECT{0, 0, WIDTH, HEIGHT}, d);
  SetSymmetry(d.Symmetry);
  SetSpin(d.Spin);
  SetLineSize(d.LineSize);
  SetTrailLength(d.TrailLength);
  SetSpeed(d.Speed);
  SetRotations(d.Rotations);
  SetCheese(d.Cheese);
  ResetTrailRing();
  linesDrawn = 0;
}

class Renderer : public ::testing::Test {
 protected:
  void SetUp() override {
    lineSet = LineSetState{};
    store = SettingsStore{};
    store.Design.Splitting = 0;
    running = true;
    AttachRenderer(RendererLinks{nullptr, &running, &store});
    SeedRandom(31);
  }
  void TearDown() override {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    ReleaseTrailRing();
  }
};

// The copy placement written the direct way: polar form about the centre, sine and cosine of
// every angle. The renderer rotates incrementally instead, so a coordinate may differ by one.
struct Copy {
  std::vector<POINT> vertices;
};

std::vector<Copy> ExpectedCopies(POINT c, const std::vector<POINT> &v, float startAngle, int depth) {
  const int n = static_cast<int>(v.size());
  std::vector<double> theta(n), r(n);
  bool onCentre = false;
  for (int i = 0; i < n; ++i) {
    const double dx = v[i].x - c.x, dy = v[i].y - c.y;
    onCentre |= dx == 0 && dy == 0;
    theta[i] = std::atan2(dy, dx);
    r[i] = std::sqrt(dx * dx + dy * dy);
  }
  if (onCentre) theta.assign(n, 0.0);
  const double k2 = lineSet.depthScale[0], k3 = lineSet.depthScale[1], k4 = lineSet.depthScale[2];
  std::vector<std::vector<double>> radii;
  radii.push_back(r);
  if (n == 2) {
    radii.push_back({-k2 * r[1], -k2 * r[0]});
    radii.push_back({k3 * r[1], k3 * r[0]});
    radii.push_back({-k4 * r[0], -k4 * r[1]});
  } else {
    radii.push_back({-k2 * r[2], -k2 * r[0], -k2 * r[1]});
    radii.push_back({k3 * r[1], k3 * r[2], k3 * r[0]});
    radii.push_back({-k4 * r[2], -k4 * r[1], -k4 * r[0]});
  }
  std::vector<Copy> copies;
  double m = startAngle;
  const int count = lineSet.symmetryCount > 0 ? lineSet.symmetryCount : 1;
  for (int j = 0; j < count; ++j, m += lineSet.rotationStep) {
    for (int level = 0; level < depth; ++level) {
      for (int mirror = 0; mirror < (lineSet.mirrored ? 2 : 1); ++mirror) {
        Copy copy;
        for (int i = 0; i < n; ++i) {
          const double a = mirror ? m - theta[i] : m + theta[i];
          copy.vertices.push_back(POINT{static_cast<LONG>(c.x + radii[level][i] * std::cos(a)),
                                        static_cast<LONG>(c.y + radii[level][i] * std::sin(a))});
        }
        copies.push_back(copy);
      }
    }
  }
  return copies;
}

// Compares the ring's entries from `first` with the expected copies, one pixel of slack.
void ExpectRingHolds(const std::vector<Copy> &expected, int first) {
  const int16_t *entry = renderer.ring.values + first;
  for (size_t k = 0; k < expected.size(); ++k) {
    for (const POINT &p : expected[k].vertices) {
      EXPECT_NEAR(entry[0], p.x, 1) << "copy " << k;
      EXPECT_NEAR(entry[1], p.y, 1) << "copy " << k;
      entry += 2;
    }
  }
}

}  // namespace

TEST_F(Renderer, RingSizesStepsAndReflectionOffsets) {
  // Symmetry 7, depth 1, no reflections: 14 segments a step, 120 steps of 14 x 4 values.
  RingSize size = TrailRingSize(120, 1, 0, 2, 7, true);
  EXPECT_EQ(size.linesPerStep, 14);
  EXPECT_EQ(size.ringLength, 120 * 14 * 4);
  // Symmetry 0: one segment per depth level, no mirror.
  size = TrailRingSize(50, 3, 0, 2, 0, false);
  EXPECT_EQ(size.linesPerStep, 3);
  EXPECT_EQ(size.ringLength, 50 * 3 * 4);
  // Symmetry 46, depth 4, 9 reflections, wedges: three steps fit.
  size = TrailRingSize(100, 4, 9, 3, 46, true);
  EXPECT_EQ(size.linesPerStep, 46 * 4 * 9 * 2);
  EXPECT_EQ(size.ringLength, 3 * 46 * 4 * 9 * 2 * 6);
  EXPECT_EQ(TrailRingSize(3, 4, 9, 3, 46, true).ringLength, 3 * 46 * 4 * 9 * 2 * 6);
  EXPECT_EQ(TrailRingSize(2, 4, 9, 3, 46, true).ringLength, 2 * 46 * 4 * 9 * 2 * 6);
  // One step larger than the whole ring: no ring rather than a ring of length 0 to wrap in.
  size = TrailRingSize(10, 4, 9, 3, 200, true);
  EXPECT_EQ(size.ringLength, 0);
  EXPECT_EQ(size.linesPerStep, 0);
  // Trail lengths below 1 keep one step.
  EXPECT_EQ(TrailRingSize(0, 1, 0, 2, 7, true).ringLength, 14 * 4);

  // Four reflections at radius 100: on the circle, sine for x and cosine for y.
  const ReflectionOffsets four = MakeReflectionOffsets(4, 100);
  ASSERT_EQ(four.count, 4);
  const LONG expected[4][2] = {{0, 100}, {100, 0}, {0, -100}, {-100, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(four.offset[i].x, expected[i][0]) << i;
    EXPECT_EQ(four.offset[i].y, expected[i][1]) << i;
  }
  EXPECT_EQ(MakeReflectionOffsets(-3, 100).count, 0);
  EXPECT_EQ(MakeReflectionOffsets(12, 100).count, 9);
}

TEST_F(Renderer, ApplyingADesignSizesAndClearsTheRing) {
  store.Design.Symmetry = 7;
  store.Design.TrailLength = 120;
  ApplyDesign();
  ASSERT_NE(renderer.ring.values, nullptr);
  EXPECT_EQ(renderer.ring.ringLength, 6720);
  EXPECT_EQ(renderer.ring.linesPerStep, 14);
  EXPECT_EQ(renderer.ring.writeIndex, 0);

  // The reflection radius is drawn even without reflections: exactly one draw.
  SeedRandom(8);
  NextRandom();
  const int following = NextRandom();
  SeedRandom(8);
  ResetTrailRing();
  EXPECT_EQ(NextRandom(), following);

  // A depth beyond 4 is drawn and sized as 4, so the erase stays in step with the drawing.
  for (int i = 0; i < renderer.ring.ringLength; ++i) renderer.ring.values[i] = 7;
  store.Design.Depth = 9;
  store.Reflections = 3;
  ApplyDesign();
  EXPECT_EQ(renderer.reflections.count, 3);
  EXPECT_EQ(renderer.ring.linesPerStep, 4 * 3 * 7 * 2);
  // 120 steps of 672 values do not fit: the 97 that do.
  EXPECT_EQ(renderer.ring.ringLength, 97 * 4 * 3 * 7 * 2 * 4);
  for (int i = 0; i < renderer.ring.ringLength; ++i) ASSERT_EQ(renderer.ring.values[i], 0) << i;
}

TEST_F(Renderer, CopiesAreTurnedMirroredAndScaledAboutTheCentre) {
  Canvas canvas;
  ASSERT_TRUE(canvas.ready());
  for (int cheese : {0, 50}) {
    store.Design.Symmetry = 5;
    store.Design.Depth = 4;
    store.Design.Cheese = cheese;
    store.Design.TrailLength = 10;
    ApplyDesign();
    lineSet.depthScale[0] = 0.6;  // as if migrating
    const int before = renderer.ring.writeIndex;
    ASSERT_EQ(DrawLineSet(canvas.dc()), 1);
    std::vector<POINT> vertices = {PixelPoint(lineSet.anchor), PixelPoint(lineSet.vertexB)};
    if (cheese) vertices.push_back(PixelPoint(lineSet.vertexC));
    const auto expected = ExpectedCopies(lineSet.center, vertices, float(lineSet.figureAngle), 4);
    ASSERT_EQ(expected.size(), 5u * 4 * 2);
    ExpectRingHolds(expected, before);
    EXPECT_EQ(linesDrawn, expected.size() * (cheese ? 3 : 1));
  }

  // A vertex on the centre: every angle is 0, so the other vertex sits at the bare angle m.
  store.Design.Symmetry = 3;
  store.Design.Depth = 1;
  store.Design.Cheese = 0;
  ApplyDesign();
  const POINT c{300, 200};
  ASSERT_EQ(ReplicateSegment(canvas.dc(), c, c, POINT{300, 100}, 0.0f), 1);
  ExpectRingHolds(ExpectedCopies(c, {c, POINT{400, 200}}, 0.0f, 1), 0);
  EXPECT_EQ(renderer.ring.values[2], 400);
  EXPECT_EQ(renderer.ring.values[3], 200);

  // Reflections repeat the figure about shifted centres, in order.
  store.Reflections = 2;
  store.Design.Symmetry = 2;
  ApplyDesign();
  ASSERT_EQ(DrawLineSet(canvas.dc()), 1);
  const std::vector<POINT> generator = {PixelPoint(lineSet.anchor), PixelPoint(lineSet.vertexB)};
  int first = 0;
  for (int i = 0; i < 2; ++i) {
    const POINT by = renderer.reflections.offset[i];
    std::vector<POINT> moved;
    for (POINT p : generator) moved.push_back(POINT{p.x + by.x, p.y + by.y});
    const auto expected = ExpectedCopies(POINT{lineSet.center.x + by.x, lineSet.center.y + by.y}, moved,
                                         float(lineSet.figureAngle), 1);
    ExpectRingHolds(expected, first);
    first += static_cast<int>(expected.size()) * 4;
  }
}

TEST_F(Renderer, WaitingInputAbandonsTheLineSetAndTheNextCallRedrawsIt) {
  Canvas canvas;
  ASSERT_TRUE(canvas.ready());
  store.Design.Symmetry = 6;
  store.Design.TrailLength = 20;
  store.Divisor = 3;
  ApplyDesign();
  ASSERT_EQ(DrawLineSet(canvas.dc()), 1);
  EXPECT_EQ(linesDrawn, 12u);  // once per segment, whatever the divisor
  const int index = renderer.ring.writeIndex;
  EXPECT_EQ(index, 12 * 4);

  // A waiting timer message is no reason to stop.
  PostMessageA(nullptr, WM_TIMER, 200, 0);
  ASSERT_EQ(DrawLineSet(canvas.dc()), 1);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }

  // A key press: given up before the first copy, and the ring's position is kept.
  const int stepStart = renderer.ring.writeIndex;
  PostMessageA(nullptr, WM_KEYDOWN, 'A', 0);
  ASSERT_EQ(DrawLineSet(canvas.dc()), 0);
  EXPECT_TRUE(renderer.resumePending);
  EXPECT_EQ(renderer.ring.writeIndex, stepStart);
  EXPECT_EQ(linesDrawn, 24u);
  const DoublePoint anchor = lineSet.anchor;

  // Not polite: the same message no longer stops the drawing, and the resumed step neither
  // erases nor moves again.
  store.Polite = 0;
  ASSERT_EQ(DrawLineSet(canvas.dc()), 1);
  EXPECT_FALSE(renderer.resumePending);
  EXPECT_EQ(lineSet.anchor.x, anchor.x);
  EXPECT_EQ(lineSet.anchor.y, anchor.y);
  EXPECT_EQ(renderer.ring.writeIndex, stepStart + 12 * 4);

  // While the animation is not running nothing is drawn and the call reports success.
  running = false;
  EXPECT_EQ(DrawLineSet(canvas.dc()), 1);
  EXPECT_EQ(linesDrawn, 36u);
}

TEST_F(Renderer, TheTrailErasesEverythingItDrew) {
  Canvas canvas;
  ASSERT_TRUE(canvas.ready());
  struct Case {
    int cheese;
    int cheeseType;
  };
  const Case cases[] = {{0, 0}, {70, CHEESE_WEDGES}, {70, CHEESE_HEARTS}, {70, CHEESE_MIXED_FRUITS},
                        {70, CHEESE_FIGURE_EIGHTS}, {70, CHEESE_TEAR_DROPS}, {70, CHEESE_STRINGS}};
  for (int penWidth : {1, 7}) {
    for (const Case &c : cases) {
      SCOPED_TRACE(testing::Message() << "pen " << penWidth << " cheese " << c.cheese << " type " << c.cheeseType);
      canvas.Clear();
      store.Design.Symmetry = 5;
      store.Design.Depth = 4;
      store.Design.Migrating = 1;
      store.Design.Floating = 1;
      store.Design.LineSize = 60;
      store.Design.TrailLength = 6;
      store.Design.PenWidth = penWidth;
      store.Design.Cheese = c.cheese;
      store.Design.CheeseType = c.cheeseType;
      store.Reflections = 3;
      ApplyDesign();
      const int steps = renderer.ring.ringLength / (renderer.ring.linesPerStep * lineSet.vertexCount * 2);
      ASSERT_GE(steps, 2);
      UseColourfulPens();
      for (int i = 0; i < 3 * steps; ++i) ASSERT_EQ(DrawLineSet(canvas.dc()), 1);
      ASSERT_GT(canvas.LitPixels(), 500);
      // Black line sets from here on: after one ring's worth, every coloured one is erased.
      UseBlackPens();
      for (int i = 0; i < steps; ++i) ASSERT_EQ(DrawLineSet(canvas.dc()), 1);
      EXPECT_EQ(canvas.LitPixels(), 0);
    }
  }
}
