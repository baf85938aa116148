// The command line of lumivane-render.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class DisplayKind { Palette, TrueColor };

struct RenderOptions {
  std::string design;    // a design string, or empty
  std::string favorite;  // a built-in favourite's name, or empty
  uint32_t seed = 1;
  int width = 640;
  int height = 480;
  int ticks = 250;
  DisplayKind display = DisplayKind::Palette;
  std::string out;
  bool help = false;
};

// The size limits of a render; larger surfaces would not fit a reasonable amount of memory.
constexpr int MIN_RENDER_SIDE = 16;
constexpr int MAX_RENDER_SIDE = 8192;
constexpr int MAX_RENDER_TICKS = 1000000;

// Reads the arguments (without the program name). On a bad argument returns false and sets
// *error to one line that names the argument and what it wants.
bool ParseRenderOptions(const std::vector<std::string> &arguments, RenderOptions *options,
                        std::string *error);

std::string RenderUsage();

// "palette" or "truecolor", as LUMIVANE_DISPLAY takes it.
const char *DisplayName(DisplayKind display);
