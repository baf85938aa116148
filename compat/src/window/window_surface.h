// The pixels behind a window, for the GDI code's device contexts.
#pragma once

#include <windows.h>

#include "gdi/surface.h"

namespace compat {

// Null for a window that is not one of this process's windows.
Surface *WindowSurface(HWND window);
// Whether the window's class gives it a DC of its own (CS_OWNDC, CS_CLASSDC) that keeps what is
// selected into it; other windows get a common DC, fresh at every GetDC.
bool WindowKeepsItsDC(HWND window);

}  // namespace compat
