// Looks for the running full-screen saver from another process, the way the desktop would,
// and prints what it finds on one line; exits 1 when there is none.
#include <windows.h>

#include <cstdio>

int main() {
  HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
  if (!saver) {
    std::printf("no saver window\n");
    return 1;
  }
  RECT rect = {};
  GetWindowRect(saver, &rect);
  HDC screen = GetDC(nullptr);
  const bool palette = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
  ReleaseDC(nullptr, screen);
  std::printf("visible=%d topmost=%d size=%ldx%ld palette=%d\n", IsWindowVisible(saver) ? 1 : 0,
              (GetWindowLongA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0, rect.right - rect.left,
              rect.bottom - rect.top, palette ? 1 : 0);
  return 0;
}
