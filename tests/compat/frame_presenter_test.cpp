// Presenting only what changed must show exactly what a full conversion would show.
#include "compat/src/backend/frame_presenter.h"
#include "compat/src/gdi/raster.h"
#include "gdi_surface.h"

#include <random>

namespace {

class FramePresenterTest : public GdiSurface {
 protected:
  // Pitch wider than a row, so rows cannot run into each other unnoticed.
  static constexpr int PITCH_PAD = 7;

  // Sizes that are not whole tiles, so the partial tiles at the edges are exercised.
  void Start(const char *mode, int width = 203, int height = 101) {
    Open(mode, width, height);
    pitch = surface.width + PITCH_PAD;
    target.assign(size_t(pitch) * surface.height, 0xDEADBEEF);
  }

  uint32_t Shown(int x, int y) const {
    const size_t at = size_t(y) * surface.width + x;
    return surface.indexed ? surface.hardwarePalette[surface.pixels8[at]] : surface.pixels32[at];
  }

  // Presents, then checks every pixel against a full conversion and that nothing outside
  // the returned rectangles was written.
  int64_t PresentAndCheck() {
    const std::vector<uint32_t> before = target;
    const std::vector<compat::PresentRect> rects = presenter.Update(surface, target.data(), pitch);
    int64_t area = 0;
    std::vector<bool> covered(target.size(), false);
    for (const compat::PresentRect &r : rects) {
      EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= surface.width &&
                  r.y + r.height <= surface.height);
      area += int64_t(r.width) * r.height;
      for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x) covered[size_t(y) * pitch + x] = true;
    }
    for (int y = 0; y < surface.height; ++y)
      for (int x = 0; x < pitch; ++x) {
        const size_t at = size_t(y) * pitch + x;
        if (x >= surface.width) {
          EXPECT_EQ(target[at], 0xDEADBEEFu) << "padding written at " << x << "," << y;
        } else {
          EXPECT_EQ(target[at], Shown(x, y)) << "pixel " << x << "," << y;
          if (!covered[at]) {
            EXPECT_EQ(target[at], before[at]) << "unsent change at " << x << "," << y;
          }
        }
        if (HasFailure()) return area;
      }
    return area;
  }

  void RandomDrawing(std::mt19937 &random, uint32_t colourCount) {
    std::uniform_int_distribution<int> coord(-30, 240), op(0, 9);
    const uint32_t colour = random() % colourCount;
    const int x0 = coord(random), y0 = coord(random), x1 = coord(random), y1 = coord(random);
    switch (op(random)) {
      case 0: compat::FillSurfaceRect(surface, x0, y0, x1, y1, colour); break;
      case 1: case 2:
        compat::DrawWideLine(surface, x0, y0, x1, y1, compat::RoundPenShape(2 + random() % 39), colour);
        break;
      default: compat::DrawThinLine(surface, x0, y0, x1, y1, colour); break;
    }
  }

  compat::FramePresenter presenter;
  std::vector<uint32_t> target;
  int pitch = 0;
};

TEST_F(FramePresenterTest, BothDisplaysShowDrawingErasingAndAnimationExactly) {
  Start("truecolor");
  std::mt19937 random(12);
  PresentAndCheck();
  for (int frame = 0; frame < 200 && !HasFailure(); ++frame) {
    for (int n = random() % 6; n > 0; --n) RandomDrawing(random, 0x1000000);
    PresentAndCheck();
  }
  TearDown();
  Start("palette");
  PresentAndCheck();
  for (int frame = 0; frame < 300 && !HasFailure(); ++frame) {
    for (int n = random() % 6; n > 0; --n) RandomDrawing(random, 256);
    // Erasing to black, as the trail does, half the time.
    if (frame % 2) compat::FillSurfaceRect(surface, random() % 200, random() % 100, 203, 101, 0);
    switch (frame % 4) {
      case 0: break;  // no animation
      case 1: surface.hardwarePalette[10 + random() % 236] = random() & 0xFFFFFF; break;
      default:
        for (int i = 10; i < 246; ++i) surface.hardwarePalette[i] = random() & 0xFFFFFF;
    }
    PresentAndCheck();
  }
  // Pens wider than two tile rows, along and across the rows.
  compat::DrawWideLine(surface, 10, 50, 190, 50, compat::RoundPenShape(40), 77);
  compat::DrawWideLine(surface, 100, 5, 100, 95, compat::RoundPenShape(40), 78);
  PresentAndCheck();
  // A change of black itself repaints everything.
  surface.hardwarePalette[0] = 0x102030;
  EXPECT_EQ(PresentAndCheck(), int64_t(surface.width) * surface.height);
}

TEST_F(FramePresenterTest, SendsOnlyTheTilesThatChangedAlongRowsOfMoreThanSixtyFourTiles) {
  Start("palette", 64 * 32 + 70, 40);  // 67 tiles a row: two words of damage bits
  const int64_t all = int64_t(surface.width) * surface.height;
  EXPECT_EQ(PresentAndCheck(), all);  // first frame: all
  EXPECT_EQ(PresentAndCheck(), 0);    // nothing changed
  compat::DrawThinLine(surface, 3, 3, 12, 5, 40);
  const int64_t lineArea = PresentAndCheck();
  EXPECT_GT(lineArea, 0);
  EXPECT_LE(lineArea, int64_t(compat::DamageGrid::TILE_WIDTH) * compat::DamageGrid::TILE_HEIGHT);
  // Animating an entry recolours the tile holding it and nothing else.
  surface.hardwarePalette[40] = 0x00FF00;
  EXPECT_EQ(PresentAndCheck(), lineArea);
  // Erasing leaves the tile black, so later animation no longer touches it.
  compat::DrawThinLine(surface, 3, 3, 12, 5, 0);
  PresentAndCheck();
  surface.hardwarePalette[40] = 0xFF0000;
  EXPECT_EQ(PresentAndCheck(), 0);
  // Two short lines far apart in one tile row: two tiles sent, not the row between them.
  compat::DrawThinLine(surface, 40, 3, 50, 4, 30);
  compat::DrawThinLine(surface, 2114, 3, 2117, 4, 31);
  // (The last tile is cut by the edge, at 2118.)
  EXPECT_EQ(PresentAndCheck(), int64_t(compat::DamageGrid::TILE_WIDTH + 2118 - 2112) *
                                   compat::DamageGrid::TILE_HEIGHT);
  // A line across the word boundary, then palette animation of everything drawn.
  compat::DrawThinLine(surface, 1900, 20, 2117, 22, 32);
  PresentAndCheck();
  for (int i = 10; i < 246; ++i) surface.hardwarePalette[i] = 0x010203 * i;
  PresentAndCheck();
  // A new target (a window surface made again) is converted whole.
  std::vector<uint32_t> other(target.size(), 0xDEADBEEF);
  target.swap(other);
  EXPECT_EQ(PresentAndCheck(), all);
  // So is the same target once its pixels are said to be lost.
  std::fill(target.begin(), target.end(), 0xDEADBEEF);
  presenter.Forget();
  EXPECT_EQ(PresentAndCheck(), all);
}

TEST(IndexConverters, PortableAndDispatchedGiveThePixelsAndInkOfAPlainLookup) {
  constexpr uint32_t UNTOUCHED = 0xDEADBEEF;
  std::mt19937 random(3);
  uint32_t palette[256];
  for (uint32_t &entry : palette) entry = random();
  const compat::IndexConverter converters[] = {compat::ConvertByPairs, compat::BestConverter()};
  std::vector<uint64_t> tables[2];
  for (int i = 0; i < 2; ++i) compat::ConversionTable(converters[i], palette, tables[i]);
  constexpr int MOST = 64 * compat::DamageGrid::TILE_WIDTH;
  std::vector<uint8_t> in(MOST + 8);
  // Room for every start alignment of the output.
  std::vector<uint32_t> out(MOST + 16);
  for (int round = 0; round < 400; ++round) {
    // Mostly black with runs of ink, as drawn lines leave it.
    for (uint8_t &index : in) index = random() % 4 == 0 ? uint8_t(random()) : 0;
    if (round % 5 == 0) std::fill(in.begin(), in.end(), 0);
    const int count = round < 64 ? round + 1 : 1 + int(random() % MOST);
    const int shift = round % 8, from = int(random() % 8);
    uint64_t expectedInk = 0;
    for (int x = 0; x < count; ++x)
      if (in[from + x] != 0) expectedInk |= 1ull << (x / compat::DamageGrid::TILE_WIDTH);
    // Tiles not drawn on may leave their black pixels as they were.
    const uint64_t fresh = round % 2 ? ~0ull : (uint64_t(random()) << 32 | random());
    for (int c = 0; c < 2; ++c) {
      std::fill(out.begin(), out.end(), UNTOUCHED);
      const uint64_t ink = converters[c](in.data() + from, out.data() + shift, count, palette, tables[c].data(), fresh);
      ASSERT_EQ(ink, expectedInk) << "count " << count;
      for (int x = 0; x < count; ++x) {
        const bool mayKeep = in[from + x] == 0 && !((fresh >> (x / compat::DamageGrid::TILE_WIDTH)) & 1);
        if (mayKeep && out[shift + x] == UNTOUCHED) continue;
        ASSERT_EQ(out[shift + x], palette[in[from + x]]) << "pixel " << x << " of " << count;
      }
      EXPECT_EQ(out[shift + count], UNTOUCHED) << "written past the end";
      if (shift > 0) {
        EXPECT_EQ(out[shift - 1], UNTOUCHED) << "written before the start";
      }
    }
  }
}

}  // namespace
