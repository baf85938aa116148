// Under Windows (Wine) the dialog tests run on the display the desktop has.
#include <windows.h>

#include "ui/dialog_driver.h"

void ForEachDisplay(const std::function<void(bool palette)> &body) {
  HDC dc = GetDC(nullptr);
  const bool palette =
      (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) && GetDeviceCaps(dc, SIZEPALETTE) >= 236;
  ReleaseDC(nullptr, dc);
  SCOPED_TRACE(palette ? "palette display" : "true-colour display");
  body(palette);
}
