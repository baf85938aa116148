// The custom palette dialog (template IDD_PALETTE), exported under its procedure's name.
#pragma once

#include <windows.h>

extern "C" INT_PTR CALLBACK PALETTEMsgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
