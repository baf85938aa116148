// Which of our windows is in front, has the keyboard focus, or captures the mouse.
#pragma once

#include <windows.h>

namespace compat {

HWND ForegroundHandle();
HWND FocusHandle();
HWND CaptureHandle();
// Makes a top-level window the active one, with the messages Windows sends on the way.
void ActivateWindow(HWND window);
// A window that goes away stops being active, focused or capturing.
void ForgetActivation(HWND window);
void ResetActivation();

}  // namespace compat
