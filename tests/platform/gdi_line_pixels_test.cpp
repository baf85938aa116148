// Which pixels GDI's lines touch, checked on a memory DC over a 32-bit DIB section: against
// the real GDI on Windows (and Wine), against our rasteriser on Linux. Both must agree with
// the same walk.
#include <windows.h>

#include "platform/gdi_line_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int SIZE = 64;

PixelSet ExpectedLine(int x0, int y0, int x1, int y1) {
  return WalkedPixels(x0, y0, x1, y1, SIZE, SIZE);
}

class GdiLinePixels : public ::testing::Test {
 protected:
  void SetUp() override {
    dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = SIZE;
    info.bmiHeader.biHeight = -SIZE;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *data = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &data, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(data, nullptr);
    bits = static_cast<uint32_t *>(data);
    previousBitmap = SelectObject(dc, bitmap);
    white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    previousPen = SelectObject(dc, white);
  }
  void TearDown() override {
    SelectObject(dc, previousPen);
    DeleteObject(white);
    if (previousBitmap) SelectObject(dc, previousBitmap);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }

  void Clear() { std::memset(bits, 0, SIZE * SIZE * sizeof(uint32_t)); }
  PixelSet Lit() const {
    PixelSet pixels;
    for (int y = 0; y < SIZE; ++y)
      for (int x = 0; x < SIZE; ++x)
        if (bits[y * SIZE + x] & 0xFFFFFF) pixels.insert({x, y});
    return pixels;
  }

  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HPEN white = nullptr;
  HGDIOBJ previousBitmap = nullptr, previousPen = nullptr;
  uint32_t *bits = nullptr;
};

TEST_F(GdiLinePixels, OnePixelLinesTouchTheWalksPixelsInEveryOctantWhereverTheyAreClipped) {
  std::vector<std::vector<int>> lines;
  // Around a centre: no length at all, all octants, their borders, and slopes whose ties the
  // bias decides.
  for (int r : {0, 2, 3, 20})
    for (int dx = -r; dx <= r; ++dx)
      for (int dy = -r; dy <= r; ++dy)
        if (std::max(std::abs(dx), std::abs(dy)) == r) lines.push_back({32, 32, 32 + dx, 32 + dy});
  // Partly outside the bitmap, on every side, and through it from far away either way: clipped
  // starts many steps in, and lines longer than a closed-form walk takes.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> nearby(-40, 110), inside(0, SIZE - 1), distant(-40000, 40000);
  for (int i = 0; i < 3000; ++i) {
    if (i % 4) lines.push_back({nearby(random), nearby(random), nearby(random), nearby(random)});
    else lines.push_back({inside(random), inside(random), distant(random), distant(random)});
    std::vector<int> &l = lines.back();
    if (i % 8 == 0) std::swap(l[0], l[2]), std::swap(l[1], l[3]);
  }
  for (const auto &l : lines) {
    Clear();
    MoveToEx(dc, l[0], l[1], nullptr);
    LineTo(dc, l[2], l[3]);
    ASSERT_EQ(Lit(), ExpectedLine(l[0], l[1], l[2], l[3]))
        << "(" << l[0] << "," << l[1] << ")-(" << l[2] << "," << l[3] << ")";
    // The current position is left at the end, where the next line of a figure starts.
    POINT at{};
    MoveToEx(dc, 0, 0, &at);
    ASSERT_TRUE(at.x == l[2] && at.y == l[3]) << at.x << "," << at.y;
  }
  // A polyline: each corner drawn once, the very last point not at all.
  Clear();
  const POINT corners[4] = {{5, 5}, {40, 12}, {12, 50}, {60, 60}};
  ASSERT_TRUE(Polyline(dc, corners, 4));
  PixelSet expected;
  for (int i = 0; i < 3; ++i) {
    const PixelSet part = ExpectedLine(corners[i].x, corners[i].y, corners[i + 1].x, corners[i + 1].y);
    expected.insert(part.begin(), part.end());
  }
  EXPECT_EQ(Lit(), expected);
  EXPECT_FALSE(Lit().count({60, 60}));
}

TEST_F(GdiLinePixels, WidePenCoversTheThinLineAndItsEraseLeavesNothing) {
  HPEN wide = CreatePen(PS_SOLID, 7, RGB(255, 255, 255));
  HPEN black = CreatePen(PS_SOLID, 7, RGB(0, 0, 0));
  Clear();
  SelectObject(dc, wide);
  MoveToEx(dc, 10, 40, nullptr);
  LineTo(dc, 50, 20);
  const PixelSet lit = Lit();
  for (const auto &p : ExpectedLine(10, 40, 50, 20)) EXPECT_TRUE(lit.count(p));
  // Round ends reach past both end points along the line, but not by the full width.
  EXPECT_TRUE(lit.count({50, 20}));
  EXPECT_TRUE(lit.count({52, 19}));
  EXPECT_FALSE(lit.count({56, 17}));
  EXPECT_FALSE(lit.count({4, 43}));
  SelectObject(dc, black);
  MoveToEx(dc, 10, 40, nullptr);
  LineTo(dc, 50, 20);
  EXPECT_TRUE(Lit().empty());
  SelectObject(dc, white);
  DeleteObject(wide);
  DeleteObject(black);
}

}  // namespace
