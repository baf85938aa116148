// The pixels behind a window, for the GDI code's device contexts.
#pragma once

#include <windows.h>

#include "gdi/surface.h"

namespace compat {

// Null for a window that is not one of this process's windows.
Surface *WindowSurface(HWND window);

}  // namespace compat
