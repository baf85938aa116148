// The main configuration dialog (template IDD_CONFIGURE), exported under its procedure's name.
#pragma once

#include <windows.h>

extern "C" INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                       LPARAM lParam);

// Ticks or clears a random box: ticked, its scrollbar (or list) is disabled and the label reads
// "Random"; clear, it is enabled and the label shows the held value. labelId 0: no label.
void ApplyRandomBox(HWND dialog, int controlId, int labelId, int boxId, int heldValue, bool ticked);
