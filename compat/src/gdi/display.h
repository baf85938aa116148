// The emulated display: an 8-bit palette display (the default) or 32-bit true colour,
// chosen by LUMIVANE_DISPLAY=palette|truecolor.
#pragma once

#include "gdi/surface.h"

namespace compat {

bool DisplayIsPalette();

// Sizes a window's surface for the current display, black, with the static colours in place.
void InitDisplaySurface(Surface &surface, int width, int height);

}  // namespace compat
