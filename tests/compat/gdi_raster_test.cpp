// The rasteriser against GDI's line rules; the pens, curves, fills and objects the saver draws
// with.
#include <windows.h>

#include "compat/src/gdi/raster.h"
#include "gdi_surface.h"
#include "platform/gdi_line_walk.h"

#include <random>

namespace {

// A wide line as the round brush stamped on every pixel of the walk, both ends included.
PixelSet ReferenceWideLine(int x0, int y0, int x1, int y1, const compat::PenShape &shape, int width,
                           int height) {
  PixelSet pixels;
  WalkGdiLine(x0, y0, x1, y1, true, [&](int cx, int cy) {
    for (size_t k = 0; k < shape.left.size(); ++k)
      for (int x = cx + shape.left[k]; x <= cx + shape.right[k]; ++x) {
        const int y = cy + shape.top + int(k);
        if (x >= 0 && y >= 0 && x < width && y < height) pixels.insert({x, y});
      }
  });
  return pixels;
}

class GdiRaster : public GdiSurface {
 protected:
  void SetUp() override { Open("palette", 160, 120); }
};

// Which pixels a thin line touches, clipped anywhere, is the platform test's, through LineTo
// against the real GDI too; here what only the rasteriser's own limits decide.
TEST_F(GdiRaster, FarOutThinLinesNeitherOverflowNorWriteOutsideTheSurface) {
  compat::DrawThinLine(surface, -2000000000, -5, 2000000000, 100, 200);
  compat::DrawThinLine(surface, 80, 60, 80, 2147483647, 200);
  EXPECT_FALSE(PixelsOf(200).empty());
}

TEST_F(GdiRaster, WideLinesAreTheRoundBrushStampedAlongTheWalk) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> coord(-40, 200);
  for (int width : {2, 3, 4, 7, 8, 16}) {
    const compat::PenShape &shape = compat::RoundPenShape(width);
    for (int i = 0; i < 400; ++i) {
      const int x0 = coord(random), y0 = coord(random);
      const int x1 = i % 4 ? coord(random) : x0 + i % 3, y1 = i % 4 ? coord(random) : y0 + i % 2;
      Fill(0);
      compat::DrawWideLine(surface, x0, y0, x1, y1, shape, 200);
      ASSERT_EQ(PixelsOf(200), ReferenceWideLine(x0, y0, x1, y1, shape, 160, 120))
          << "width " << width << " (" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";
    }
  }
}

TEST_F(GdiRaster, AWidePensPointIsARoundDisc) {
  // (Where a wide line's ends reach is the platform test's, against the real GDI.)
  PenLine(dc, 7, RGB(255, 255, 255), 80, 60, 80, 60);
  // The disc of radius 3.5 around the pixel: the same on every side of the centre.
  const PixelSet dot = PixelsOf(255);
  for (const auto &p : dot) {
    EXPECT_TRUE(dot.count({160 - p.first, p.second}));
    EXPECT_TRUE(dot.count({p.first, 120 - p.second}));
    EXPECT_TRUE(dot.count({80 + (p.second - 60), 60 + (p.first - 80)}));
  }
  EXPECT_EQ(dot.size(), 37u);
  EXPECT_FALSE(dot.count({77, 57}));  // the corner is cut
}

TEST_F(GdiRaster, BezierCurvesRunFromTheirFirstPointAndEraseWhole) {
  SelectObject(dc, GetStockObject(WHITE_PEN));
  const POINT arch[4] = {{10, 100}, {10, 10}, {150, 10}, {150, 100}};
  ASSERT_TRUE(PolyBezier(dc, arch, 4));
  const PixelSet curve = PixelsOf(255);
  EXPECT_TRUE(curve.count({10, 100}));
  EXPECT_FALSE(curve.count({150, 100}));
  // (Their shape between: the golden pictures.)
  // Point counts other than 3n+1 are refused.
  EXPECT_FALSE(PolyBezier(dc, arch, 3));
  // A curve drawn in black touches the pixels it touched in white, thin or wide: an erase leaves
  // no trace. (Lines do so by matching the walk.)
  std::mt19937 random(11);
  std::uniform_int_distribution<int> coord(-60, 220);
  for (int width : {1, 7}) {
    HPEN white = CreatePen(PS_SOLID, width, RGB(255, 255, 255));
    HPEN black = CreatePen(PS_SOLID, width, RGB(0, 0, 0));
    for (int figure = 0; figure < 100; ++figure) {
      POINT points[7];
      for (POINT &p : points) p = {coord(random), coord(random)};
      Fill(0);
      SelectObject(dc, white);
      PolyBezier(dc, points, 7);
      const PixelSet drawn = PixelsOf(255);
      Fill(255);
      SelectObject(dc, black);
      PolyBezier(dc, points, 7);
      ASSERT_EQ(PixelsOf(0), drawn) << "width " << width << " figure " << figure;
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(white);
    DeleteObject(black);
  }
}

TEST_F(GdiRaster, FillRectFillsTheHalfOpenRectangleClipped) {
  const RECT rect{-5, 100, 20, 130};
  EXPECT_EQ(FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 1);
  const PixelSet filled = PixelsOf(255);
  EXPECT_EQ(filled.size(), 20u * 20u);
  EXPECT_TRUE(filled.count({0, 100}));
  EXPECT_TRUE(filled.count({19, 119}));
  EXPECT_FALSE(filled.count({20, 110}));
}

TEST_F(GdiRaster, ObjectsAreCheckedAndDeletedOnlyWhenNoLongerSelected) {
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
  HGDIOBJ previous = SelectObject(dc, pen);
  EXPECT_EQ(previous, GetStockObject(BLACK_PEN));
  // Deleting a selected pen succeeds, but it stays usable until deselected: the saver deletes
  // its erase pen while its own DC may still hold it.
  EXPECT_TRUE(DeleteObject(pen));
  MoveToEx(dc, 10, 10, nullptr);
  LineTo(dc, 20, 10);
  EXPECT_FALSE(PixelsOf(249).empty());  // the static red
  EXPECT_EQ(SelectObject(dc, previous), pen);
  EXPECT_FALSE(DeleteObject(pen));  // gone now
  EXPECT_EQ(SelectObject(dc, pen), nullptr);
  EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(uintptr_t(0x12345))), nullptr);
}

}  // namespace
