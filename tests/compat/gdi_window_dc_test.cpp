// Window DCs of the headless backend: as in Windows, only a CS_OWNDC class's DC keeps its state
// from one GetDC to the next (others get a common DC), and DCs of destroyed windows do not pile
// up. (That a window shows what its DC drew, animated colours included: the golden pictures.)
#include "window_fixture.h"

namespace {

using GdiWindowDC = HeadlessWindows;

TEST_F(GdiWindowDC, OnlyAnOwnDCKeepsItsStateAndDCsOfDestroyedWindowsAreRecycled) {
  WNDCLASSA own{};
  own.style = CS_OWNDC;
  own.lpfnWndProc = DefWindowProcA;
  own.lpszClassName = "OwnDC";
  ASSERT_NE(RegisterClassA(&own), 0);
  const auto makeWindow = [](const char *className) {
    return CreateWindowExA(0, className, "", WS_POPUP | WS_VISIBLE, 0, 0, 120, 90, nullptr,
                           nullptr, nullptr, nullptr);
  };
  HPEN red = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
  for (auto [name, keeps] : {std::pair<const char *, bool>{"Recorder", false}, {"OwnDC", true}}) {
    SCOPED_TRACE(name);
    HWND window = makeWindow(name);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ original = SelectObject(dc, red);
    MoveToEx(dc, 10, 20, nullptr);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    dc = GetDC(window);
    POINT at{};
    MoveToEx(dc, 0, 0, &at);
    EXPECT_EQ(at.x == 10 && at.y == 20, keeps);
    EXPECT_EQ(SelectObject(dc, original) == red, keeps);
    ReleaseDC(window, dc);
    DestroyWindow(window);
  }
  DeleteObject(red);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7ffffff0))), nullptr);
  EXPECT_NE(GetDC(nullptr), nullptr);

  // More windows than there can be DCs at once, each drawn on and destroyed in turn.
  for (int i = 0; i < 5000; ++i) {
    HWND window = makeWindow("OwnDC");
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr) << "window " << i;
    EXPECT_TRUE(LineTo(dc, 5, 5));
    ReleaseDC(window, dc);
    DestroyWindow(window);
  }
}

}  // namespace
