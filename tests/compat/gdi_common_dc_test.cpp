// GetDC as Windows has it: a window whose class has no CS_OWNDC gets a common DC, so what was
// selected or moved on it is gone at the next GetDC; a class DC keeps it; a handle that names
// no window gets no DC.
#include <windows.h>

#include <gtest/gtest.h>

#include "compat/testing.h"

namespace {

LRESULT CALLBACK Plain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(const char *className, UINT style) {
  WNDCLASSA windowClass{};
  windowClass.style = style;
  windowClass.lpfnWndProc = Plain;
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, className, "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 48, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(WindowDCs, OnlyAnOwnDCKeepsItsStateBetweenGetDCAndReleaseDC) {
  compat::testing::UseHeadless();
  compat::testing::ResetHeadless();
  HPEN red = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
  for (auto [name, style, keeps] : {std::tuple<const char *, UINT, bool>{"CommonDCWindow", 0, false},
                                    {"OwnDCWindow", CS_OWNDC, true}}) {
    SCOPED_TRACE(name);
    HWND window = MakeWindow(name, style);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ original = SelectObject(dc, red);
    MoveToEx(dc, 10, 20, nullptr);
    ReleaseDC(window, dc);
    dc = GetDC(window);
    POINT at{};
    MoveToEx(dc, 0, 0, &at);
    EXPECT_EQ(at.x == 10 && at.y == 20, keeps);
    HGDIOBJ selected = SelectObject(dc, original);
    EXPECT_EQ(selected == red, keeps);
    ReleaseDC(window, dc);
    DestroyWindow(window);
  }
  DeleteObject(red);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7ffffff0))), nullptr);
  EXPECT_NE(GetDC(nullptr), nullptr);
  compat::testing::ResetHeadless();
}

}  // namespace
