// The configuration dialog's procedure, exported under this name for the desktop.
#pragma once

#include <windows.h>

extern "C" INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message,
                                                       WPARAM wParam, LPARAM lParam);
