// Lines, curves and rectangles on a DC: the current pen or brush through the rasteriser.
#include "bezier.h"
#include "colour_match.h"
#include "device_context.h"
#include "raster.h"

namespace compat {

namespace {

// Inlined: LineTo runs it for every line drawn.
__attribute__((always_inline)) inline void Segment(DeviceContext &dc, int x0, int y0, int x1, int y1) {
  const Pen &pen = *dc.pen;
  if (!dc.surface || pen.invisible) return;
  if (pen.shape) DrawWideLine(*dc.surface, x0, y0, x1, y1, *pen.shape, CurrentPenPixel(dc));
  else DrawThinLine(*dc.surface, x0, y0, x1, y1, CurrentPenPixel(dc));
}

}  // namespace

}  // namespace compat

using namespace compat;

BOOL MoveToEx(HDC handle, int x, int y, LPPOINT previous) {
  DeviceContext *dc = FindDC(handle);
  if (!dc) return FALSE;
  if (previous) *previous = {dc->x, dc->y};
  dc->x = x;
  dc->y = y;
  return TRUE;
}

BOOL LineTo(HDC handle, int x, int y) {
  DeviceContext *dc = FindDC(handle);
  if (!dc) return FALSE;
  Segment(*dc, dc->x, dc->y, x, y);
  dc->x = x;
  dc->y = y;
  return TRUE;
}

BOOL Polyline(HDC handle, const POINT *points, int count) {
  DeviceContext *dc = FindDC(handle);
  if (!dc || !points || count < 2) return FALSE;
  for (int i = 1; i < count; ++i)
    Segment(*dc, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
  return TRUE;
}

BOOL PolyBezier(HDC handle, const POINT *points, DWORD count) {
  DeviceContext *dc = FindDC(handle);
  if (!dc || !points || count < 4 || (count - 1) % 3 != 0) return FALSE;
  POINT flat[MAX_BEZIER_POINTS];
  POINT from = points[0];
  for (DWORD i = 0; i + 3 < count; i += 3) {
    const int n = FlattenBezier(points[i], points[i + 1], points[i + 2], points[i + 3], flat);
    for (int k = 0; k < n; ++k) {
      Segment(*dc, from.x, from.y, flat[k].x, flat[k].y);
      from = flat[k];
    }
  }
  return TRUE;
}

int FillRect(HDC handle, const RECT *rect, HBRUSH brushHandle) {
  DeviceContext *dc = FindDC(handle);
  Brush *brush = FindObjectOf<Brush>(brushHandle, ObjectKind::Brush);
  if (!dc || !rect || !brush) return 0;
  if (dc->surface && !brush->hollow)
    FillSurfaceRect(*dc->surface, rect->left, rect->top, rect->right, rect->bottom,
                    ResolveColour(*dc, brush->colour));
  return 1;
}
