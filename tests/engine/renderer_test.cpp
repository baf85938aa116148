#include "engine/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/applied_design.h"
#include "engine/palette_engine.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

// A memory DC over a 32-bit DIB section: real GDI on Windows, the compat rasteriser on Linux.
struct Canvas {
  Canvas() {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), WIDTH, -HEIGHT, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<const uint32_t *>(bits);
    previous = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  int LitPixels() const {
    int lit = 0;
    for (int i = 0; pixels && i < WIDTH * HEIGHT; ++i) lit += (pixels[i] & 0xFFFFFF) != 0;
    return lit;
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  const uint32_t *pixels = nullptr;
};

bool running = true;
// The design the next ApplyDesign applies, and the settings' reflections.
DesignParams design;
int32_t reflections = 0;

// Without a logical palette the pen colour is the walks' own colour.
void SetWalks(int16_t value, int16_t step) {
  for (ColourWalk &walk : ThePaletteEngine().walks) {
    walk.value = value;
    walk.step = step;
  }
}

void ApplyDesign() { ApplyDesign(WIDTH, HEIGHT, design, reflections); }

class Renderer : public ::testing::Test {
 protected:
  void SetUp() override {
    lineSet = LineSetState{};
    design = DesignParams{};
    design.Splitting = 0;
    reflections = 0;
    running = true;
    AttachRenderer(RendererLinks{nullptr, &running});
    SetWalks(90, 7);
  }
  void TearDown() override {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    ReleaseTrailRing();
  }
  Canvas canvas;
};

}  // namespace

TEST_F(Renderer, RingSizesAndReflectionOffsets) {
  // A step bigger than the whole ring leaves no ring, not one of length 0 to wrap in; a trail
  // length below 1 keeps one step.
  EXPECT_EQ(TrailRingSize(10, 4, 9, 3, 200, true).ringLength, 0);
  EXPECT_EQ(TrailRingSize(0, 1, 0, 2, 7, true).ringLength, 14 * 4);

  // Four reflections at radius 100, sine for x and cosine for y; the settings keep counts to 0..9.
  const ReflectionOffsets four = MakeReflectionOffsets(4, 100);
  const LONG expected[4][2] = {{0, 100}, {100, 0}, {0, -100}, {-100, 0}};
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(four.offset[i].x == expected[i][0] && four.offset[i].y == expected[i][1]);

  // Applying a design: a depth beyond 4 sizes the ring as 4, as it is drawn, as many steps as
  // fit; the used part starts cleared.
  design.Symmetry = 7;
  ApplyDesign();
  for (int i = 0; i < renderer.ring.ringLength; ++i) renderer.ring.values[i] = 7;
  design.Depth = 9;
  reflections = 3;
  ApplyDesign();
  EXPECT_EQ(renderer.ring.linesPerStep, 4 * 3 * 7 * 2);
  EXPECT_EQ(renderer.ring.ringLength, 97 * 4 * 3 * 7 * 2 * 4);  // 120 steps do not fit
  EXPECT_EQ(std::count(renderer.ring.values, renderer.ring.values + renderer.ring.ringLength, 0),
            renderer.ring.ringLength);
}

// How the copies are turned, mirrored and scaled at every depth the golden pictures show;
// reflections, which no design string asks for, are checked here: each repeats the figure
// about its shifted centre.
TEST_F(Renderer, ReflectionsRepeatTheFigureShiftedAndAVertexOnTheCentreHasNoAngle) {
  design.Symmetry = 5;
  ApplyDesign();
  const LineSetState start = lineSet;
  ASSERT_TRUE(DrawLineSet(canvas.dc));
  const int figure = renderer.ring.linesPerStep * 4;
  const std::vector<int16_t> plain(renderer.ring.values, renderer.ring.values + figure);
  lineSet = start;
  ResetTrailRing(2);
  ASSERT_TRUE(DrawLineSet(canvas.dc));
  ASSERT_EQ(renderer.ring.linesPerStep * 4, 2 * figure);
  for (int copy = 0; copy < 2; ++copy) {
    const POINT by = renderer.reflections.offset[copy];
    for (int i = 0; i < figure; i += 2) {
      EXPECT_NEAR(renderer.ring.values[copy * figure + i], plain[i] + by.x, 1) << copy << " " << i;
      EXPECT_NEAR(renderer.ring.values[copy * figure + i + 1], plain[i + 1] + by.y, 1) << i;
    }
  }

  // A vertex on the centre: every angle is 0, so the other vertex sits at the bare angle m.
  ApplyDesign();
  ASSERT_TRUE(
      ReplicateSegment(canvas.dc, POINT{300, 200}, POINT{300, 200}, POINT{300, 100}, 0.0f));
  EXPECT_EQ(renderer.ring.values[2], 400);
  EXPECT_EQ(renderer.ring.values[3], 200);
}

TEST_F(Renderer, WaitingInputAbandonsTheLineSetAndTheNextCallRedrawsIt) {
  design.Symmetry = 6;
  renderer.links.divisor = 3;
  ApplyDesign();
  // A waiting timer message is no reason to stop; each segment counts once whatever the divisor.
  PostMessageA(nullptr, WM_TIMER, 200, 0);
  ASSERT_TRUE(DrawLineSet(canvas.dc));
  EXPECT_EQ(linesDrawn, 12u);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }

  // A key press: given up before the first copy, the ring's position kept.
  const int stepStart = renderer.ring.writeIndex;
  PostMessageA(nullptr, WM_KEYDOWN, 'A', 0);
  ASSERT_FALSE(DrawLineSet(canvas.dc));
  EXPECT_EQ(renderer.ring.writeIndex, stepStart);
  EXPECT_EQ(linesDrawn, 12u);
  const DoublePoint anchor = lineSet.anchor;

  // Not polite: the same message no longer stops it, and the resumed step neither erases nor
  // moves again.
  renderer.links.polite = false;
  StartTickClock();
  ASSERT_TRUE(DrawLineSet(canvas.dc));
  EXPECT_EQ(lineSet.anchor.x, anchor.x);
  EXPECT_EQ(renderer.ring.writeIndex, stepStart + 12 * 4);

  // Unless the tick has run long: then the waiting key gives way even so, whatever the values.
  renderer.tickStart = GetTickCount() - LONG_TICK_MS;
  EXPECT_TRUE(OverdueInputWaiting());
  EXPECT_FALSE(DrawLineSet(canvas.dc));
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_FALSE(OverdueInputWaiting());
  EXPECT_TRUE(DrawLineSet(canvas.dc));

  // While the animation is not running nothing is drawn and the call reports success.
  running = false;
  EXPECT_TRUE(DrawLineSet(canvas.dc));
  EXPECT_EQ(linesDrawn, 36u);
}

TEST_F(Renderer, TheTrailErasesEverythingItDrew) {
  const int cases[][2] = {{0, 0},  {70, 0}, {70, 1}, {70, 2},
                          {70, 3}, {70, 4}, {70, 5}};  // cheese, type
  for (int penWidth : {1, 7}) {
    for (const auto &c : cases) {
      SCOPED_TRACE(testing::Message()
                   << "pen " << penWidth << " cheese " << c[0] << " type " << c[1]);
      design.Symmetry = 5;
      design.Depth = 4;
      design.Migrating = 1;
      design.Floating = 1;
      design.LineSize = 60;
      design.TrailLength = 6;
      design.PenWidth = penWidth;
      design.Cheese = c[0];
      design.CheeseType = c[1];
      reflections = 3;
      ApplyDesign();
      SetWalks(90, 7);
      for (int i = 0; i < 18; ++i) ASSERT_TRUE(DrawLineSet(canvas.dc));
      ASSERT_GT(canvas.LitPixels(), 500);
      // Black line sets from here on: after one trail's worth, every coloured one is erased.
      SetWalks(0, 0);
      for (int i = 0; i < 6; ++i) ASSERT_TRUE(DrawLineSet(canvas.dc));
      EXPECT_EQ(canvas.LitPixels(), 0);
    }
  }
}
