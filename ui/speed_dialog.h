// The speed adjustments dialog (template IDD_SPEED), exported under its procedure's name.
#pragma once

#include <windows.h>

extern "C" INT_PTR CALLBACK SPEEDMsgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
