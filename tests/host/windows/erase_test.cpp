// Erasing the saver window, read back through the real GDI.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/saver_script.h"

TEST(Driver, EraseBackgroundBlacksTheWindowAndEndsThere) {
  COLORREF before = CLR_INVALID;
  COLORREF after = CLR_INVALID;
  LRESULT result = -1;
  RunFullScreen({
      [&](HWND saver) {
        HDC dc = GetDC(saver);
        RECT spot = {100, 100, 140, 140};
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        FillRect(dc, &spot, white);
        DeleteObject(white);
        before = GetPixel(dc, 120, 120);
        result = SendMessageA(saver, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        after = GetPixel(dc, 120, 120);
        ReleaseDC(saver, dc);
        return true;
      },
      Send(WM_KEYDOWN, 'A'),
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(before, RGB(255, 255, 255));
  EXPECT_EQ(after, RGB(0, 0, 0));
}
