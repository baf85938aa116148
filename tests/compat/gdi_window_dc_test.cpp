// GDI on real windows of the headless backend: what a window DC draws is what the window shows;
// as in Windows, only a CS_OWNDC class's DC keeps its state from one GetDC to the next (others
// get a common DC); DCs of destroyed windows do not pile up.
#include <windows.h>

#include "compat/testing.h"
#include "gdi_surface.h"

namespace {

LRESULT CALLBACK Plain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class GdiWindowDC : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("LUMIVANE_DISPLAY", "palette", 1);
    compat::testing::UseHeadless();
    compat::testing::ResetHeadless();
    for (const auto &[name, style] : {std::pair<const char *, UINT>{"GdiWindow", CS_OWNDC},
                                      {"GdiCommon", 0}}) {
      WNDCLASSA windowClass{};
      windowClass.style = style;
      windowClass.lpfnWndProc = Plain;
      windowClass.lpszClassName = name;
      ASSERT_NE(RegisterClassA(&windowClass), 0);
    }
  }
  void TearDown() override {
    compat::testing::ResetHeadless();
    unsetenv("LUMIVANE_DISPLAY");
  }
  HWND MakeWindow(const char *className = "GdiWindow") {
    return CreateWindowExA(0, className, "", WS_POPUP | WS_VISIBLE, 0, 0, 120, 90, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  }
};

TEST_F(GdiWindowDC, WindowShowsWhatItsDCDrewAndAnimatedColoursAtOnce) {
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  HDC dc = GetDC(window);
  ASSERT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
  HPALETTE palette = MakePalette({{0, 0, 0, PC_RESERVED}, {60, 0, 0, PC_RESERVED},
                                  {120, 0, 0, PC_RESERVED}, {180, 0, 0, PC_RESERVED}});
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  RealizePalette(dc);
  HPEN pen = CreatePen(PS_SOLID, 1, PALETTEINDEX(3));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  MoveToEx(dc, 10, 20, nullptr);
  LineTo(dc, 50, 20);
  int width = 0, height = 0;
  std::vector<uint32_t> shown = compat::testing::ReadWindowPixels(window, &width, &height);
  ASSERT_EQ(width, 120);
  EXPECT_EQ(shown[20 * width + 10], 180u << 16);
  EXPECT_EQ(shown[20 * width + 50], 0u);
  EXPECT_EQ(compat::testing::ReadWindowIndices(window, nullptr, nullptr)[20 * width + 30], 13);
  // The DC kept its selections from one GetDC to the next.
  ReleaseDC(window, dc);
  EXPECT_EQ(GetDC(window), dc);
  PALETTEENTRY green{0, 255, 0, PC_RESERVED};
  AnimatePalette(palette, 3, 1, &green);
  shown = compat::testing::ReadWindowPixels(window, nullptr, nullptr);
  EXPECT_EQ(shown[20 * width + 10], 0x00FF00u);
  // A black background fill through the class's DC.
  const RECT all{0, 0, 120, 90};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  shown = compat::testing::ReadWindowPixels(window, nullptr, nullptr);
  EXPECT_EQ(shown[20 * width + 10], 0u);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  SelectPalette(dc, previous, FALSE);
  DeleteObject(palette);
  ReleaseDC(window, dc);
  DestroyWindow(window);
}

TEST_F(GdiWindowDC, OnlyAnOwnDCKeepsItsStateBetweenGetDCAndReleaseDC) {
  HPEN red = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
  for (auto [name, keeps] :
       {std::pair<const char *, bool>{"GdiCommon", false}, {"GdiWindow", true}}) {
    SCOPED_TRACE(name);
    HWND window = MakeWindow(name);
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
}

TEST_F(GdiWindowDC, DCsOfDestroyedWindowsAreRecycled) {
  // More windows than there can be DCs at once, each drawn on and destroyed in turn.
  for (int i = 0; i < 5000; ++i) {
    HWND window = MakeWindow();
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr) << "window " << i;
    EXPECT_TRUE(LineTo(dc, 5, 5));
    ReleaseDC(window, dc);
    DestroyWindow(window);
  }
}

}  // namespace
