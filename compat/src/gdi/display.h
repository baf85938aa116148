// The emulated display: an 8-bit palette display (the default) or 32-bit true colour,
// chosen by LUMIVANE_DISPLAY=palette|truecolor.
#pragma once

#include "surface.h"

namespace compat {

bool DisplayIsPalette();

// Sizes a window's surface for the current display, black, with the static colours in place;
// entries realised into its hardware palette before stay.
void InitDisplaySurface(Surface &surface, int width, int height);

// The twenty colours a palette display reserves, as 0x00RRGGBB: ten at the bottom of the
// hardware palette and ten at the top.
constexpr int STATIC_COLOUR_COUNT = 20;
uint32_t StaticColour(int i);
int StaticColourSlot(int i);  // its hardware palette index

// The hardware entries a realised palette may take.
constexpr int FIRST_FREE_SLOT = 10;
constexpr int LAST_FREE_SLOT = 245;

}  // namespace compat
