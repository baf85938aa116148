// How many ~50-pixel segments a second the GDI layer draws and erases at 1920x1080, the way
// the renderer uses it: one new pen per line set, each segment later redrawn with the black
// erase pen. Prints figures; the check is that the erase leaves nothing behind.
#include <windows.h>

#include "compat/src/gdi/device_context.h"
#include "compat/src/gdi/display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

struct Segment {
  int x0, y0, x1, y1;
};

std::vector<Segment> MakeSegments(size_t count) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<Segment> segments(count);
  for (Segment &s : segments) {
    // Mostly on screen, some crossing its edges, like a pattern near the border.
    s.x0 = int(unit(random) * 2000) - 40;
    s.y0 = int(unit(random) * 1160) - 40;
    const double angle = unit(random) * 6.283185307;
    s.x1 = s.x0 + int(std::cos(angle) * 50);
    s.y1 = s.y0 + int(std::sin(angle) * 50);
  }
  return segments;
}

double DrawAndErase(const char *mode, int width, const std::vector<Segment> &segments, bool &clean) {
  setenv("LUMIVANE_DISPLAY", mode, 1);
  compat::Surface surface;
  compat::InitDisplaySurface(surface, 1920, 1080);
  HDC dc = compat::CreateSurfaceDC(surface);
  HPEN erase = CreatePen(PS_SOLID, width, RGB(0, 0, 0));
  SelectObject(dc, erase);
  constexpr size_t PER_SET = 14;
  constexpr size_t TRAIL_SETS = 50;
  // Processor time, not wall time: the machine is shared, and a busy neighbour would
  // otherwise count against the figures.
  const std::clock_t start = std::clock();
  for (size_t first = 0; first < segments.size(); first += PER_SET) {
    if (first >= PER_SET * TRAIL_SETS) {
      for (size_t i = first - PER_SET * TRAIL_SETS; i < first - PER_SET * (TRAIL_SETS - 1); ++i) {
        MoveToEx(dc, segments[i].x0, segments[i].y0, nullptr);
        LineTo(dc, segments[i].x1, segments[i].y1);
      }
    }
    HPEN pen = CreatePen(PS_SOLID, width, PALETTEINDEX(first % 200));
    HGDIOBJ previous = SelectObject(dc, pen);
    for (size_t i = first; i < first + PER_SET && i < segments.size(); ++i) {
      MoveToEx(dc, segments[i].x0, segments[i].y0, nullptr);
      LineTo(dc, segments[i].x1, segments[i].y1);
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
  }
  const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
  // Erase what the trail still holds, then nothing may remain.
  for (size_t i = segments.size() - std::min(segments.size(), PER_SET * (TRAIL_SETS - 1)); i < segments.size(); ++i) {
    MoveToEx(dc, segments[i].x0, segments[i].y0, nullptr);
    LineTo(dc, segments[i].x1, segments[i].y1);
  }
  clean = surface.indexed ? std::all_of(surface.pixels8.begin(), surface.pixels8.end(), [](uint8_t p) { return p == 0; })
                          : std::all_of(surface.pixels32.begin(), surface.pixels32.end(), [](uint32_t p) { return p == 0; });
  SelectObject(dc, GetStockObject(BLACK_PEN));
  DeleteObject(erase);
  compat::DeleteMemoryDC(dc);
  unsetenv("LUMIVANE_DISPLAY");
  return double(segments.size()) / seconds;
}

TEST(GdiThroughput, SegmentsPerSecondIncludingTheirErase) {
  const std::vector<Segment> segments = MakeSegments(14 * 10000);
  for (const char *mode : {"palette", "truecolor"}) {
    for (int width : {1, 7}) {
      // Best of three: the machine is shared, and the best run is the one least disturbed.
      double rate = 0;
      bool clean = true;
      for (int run = 0; run < 3; ++run) {
        bool runClean = false;
        rate = std::max(rate, DrawAndErase(mode, width, segments, runClean));
        clean = clean && runClean;
      }
      std::printf("[ figures  ] %-9s pen %d: %.2f million segments per CPU second, drawn and erased\n", mode, width,
                  rate / 1e6);
      EXPECT_TRUE(clean) << mode << " width " << width;
    }
  }
}

// Cheese shapes: two-segment closed Bézier figures about 100 pixels across, drawn and erased.
TEST(GdiThroughput, BezierFiguresPerSecondIncludingTheirErase) {
  compat::Surface surface;
  setenv("LUMIVANE_DISPLAY", "palette", 1);
  compat::InitDisplaySurface(surface, 1920, 1080);
  unsetenv("LUMIVANE_DISPLAY");
  HDC dc = compat::CreateSurfaceDC(surface);
  HPEN white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
  HPEN black = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  std::mt19937 random(9);
  std::uniform_int_distribution<int> place(60, 1800);
  constexpr int FIGURES = 20000;
  const std::clock_t start = std::clock();
  for (int i = 0; i < FIGURES; ++i) {
    const int x = place(random), y = place(random) % 960;
    const POINT heart[7] = {{x, y + 60}, {x - 60, y + 10}, {x - 30, y - 40}, {x, y},
                            {x + 30, y - 40}, {x + 60, y + 10}, {x, y + 60}};
    SelectObject(dc, white);
    PolyBezier(dc, heart, 7);
    SelectObject(dc, black);
    PolyBezier(dc, heart, 7);
  }
  const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
  std::printf("[ figures  ] palette   pen 1: %.0f thousand Bézier figures per CPU second, drawn and erased\n",
              FIGURES / seconds / 1e3);
  EXPECT_TRUE(std::all_of(surface.pixels8.begin(), surface.pixels8.end(), [](uint8_t p) { return p == 0; }));
  SelectObject(dc, GetStockObject(BLACK_PEN));
  DeleteObject(white);
  DeleteObject(black);
  compat::DeleteMemoryDC(dc);
}

}  // namespace
