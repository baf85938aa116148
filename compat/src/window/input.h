// Raw input from the window system becomes window messages here, by the rules of Win32: the
// mouse goes to the capture or to the window under the pointer, keys to the focus, and a
// second press close in time and place is a double click for classes that ask for one.
#pragma once

#include <windows.h>

namespace compat {

enum class MouseButton { Left, Right, Middle };

// `at` is in screen coordinates. `over` is the top-level window the window system saw the
// pointer in, when it says (a window drawn into another program's window or blacking out
// another monitor is only known that way); without it the hit test starts at the screen.
void ReportPointerMove(POINT at, HWND over);
void ReportButton(MouseButton button, bool down, POINT at, HWND over);
// `delta` in WHEEL_DELTA units, positive away from the user.
void ReportWheel(int delta, POINT at);
void ReportKey(UINT virtualKey, bool down);
// The window system gave a top-level window the keyboard: it becomes the active window.
void ReportFocus(HWND window);

// Whether a press at `time`, `at` makes a double click with one at `firstTime`, `first`:
// within the double-click time and the SM_CXDOUBLECLK by SM_CYDOUBLECLK rectangle.
bool WithinDoubleClick(DWORD firstTime, POINT first, DWORD time, POINT at);
// Forgets every window and class, what every queue holds, activation, keys, the cursor shape
// and the last press (the headless backend's reset), running nothing.
void ResetWindowLayer();

}  // namespace compat
