// The audio configuration dialog (template IDD_AUDIO), exported under its procedure's name.
#pragma once

#include <windows.h>

extern "C" INT_PTR CALLBACK AUDIOMsgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
