#include "display.h"

#include <cstdlib>
#include <cstring>

namespace compat {

namespace {

// The twenty colours a Windows palette display reserves: ten at the bottom, ten at the top.
constexpr uint32_t STATIC_LOW[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                     0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
constexpr uint32_t STATIC_HIGH[10] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                      0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

}  // namespace

uint32_t StaticColour(int i) { return i < 10 ? STATIC_LOW[i] : STATIC_HIGH[i - 10]; }

int StaticColourSlot(int i) { return i < 10 ? i : 236 + i; }

bool DisplayIsPalette() {
  const char *mode = std::getenv("LUMIVANE_DISPLAY");
  return mode == nullptr || std::strcmp(mode, "truecolor") != 0;
}

void InitDisplaySurface(Surface &surface, int width, int height) {
  surface.width = width;
  surface.height = height;
  surface.indexed = DisplayIsPalette();
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (surface.indexed) {
    surface.pixels8.assign(count, 0);
    surface.pixels32.clear();
    // The hardware palette is the display's, not the picture's: a resized window keeps the
    // colours realised into it (a new surface starts with all entries black).
    for (int i = 0; i < STATIC_COLOUR_COUNT; ++i)
      surface.hardwarePalette[StaticColourSlot(i)] = StaticColour(i);
  } else {
    surface.pixels32.assign(count, 0);
    surface.pixels8.clear();
  }
  surface.damage.Resize(width, height);
  ++surface.generation;
}

}  // namespace compat
