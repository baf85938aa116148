// Window DCs of the headless backend: a CS_OWNDC class's DC keeps its state from one GetDC to
// the next (the saver leaves its pens selected between ticks), and DCs of destroyed windows do
// not pile up. (That a window shows what its DC drew, animated colours included: the golden
// pictures.)
#include "window_fixture.h"

namespace {

using GdiWindowDC = HeadlessWindows;

TEST_F(GdiWindowDC, AnOwnDCKeepsItsStateAndDCsOfDestroyedWindowsAreRecycled) {
  WNDCLASSA own{};
  own.style = CS_OWNDC;
  own.lpfnWndProc = DefWindowProcA;
  own.lpszClassName = "OwnDC";
  ASSERT_NE(RegisterClassA(&own), 0);
  const auto makeWindow = [] {
    return CreateWindowExA(0, "OwnDC", "", WS_POPUP | WS_VISIBLE, 0, 0, 120, 90, nullptr, nullptr,
                           nullptr, nullptr);
  };
  HPEN red = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
  HWND window = makeWindow();
  HDC dc = GetDC(window);
  ASSERT_NE(dc, nullptr);
  HGDIOBJ original = SelectObject(dc, red);
  MoveToEx(dc, 10, 20, nullptr);
  EXPECT_EQ(ReleaseDC(window, dc), 1);
  dc = GetDC(window);
  POINT at{};
  MoveToEx(dc, 0, 0, &at);
  EXPECT_TRUE(at.x == 10 && at.y == 20);
  EXPECT_EQ(SelectObject(dc, original), red);
  ReleaseDC(window, dc);
  DestroyWindow(window);
  DeleteObject(red);

  // More windows than there can be DCs at once, each drawn on and destroyed in turn.
  for (int i = 0; i < 5000; ++i) {
    window = makeWindow();
    dc = GetDC(window);
    ASSERT_NE(dc, nullptr) << "window " << i;
    EXPECT_TRUE(LineTo(dc, 5, 5));
    ReleaseDC(window, dc);
    DestroyWindow(window);
  }
}

}  // namespace
