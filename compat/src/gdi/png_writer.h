// Writing pixels as PNG files, for tools and tests that need to look at what was drawn.
#pragma once

#include "surface.h"

#include <cstdint>
#include <string>

namespace compat {

// Writes width x height pixels of 0x00RRGGBB, rows `stride` pixels apart, as an 8-bit RGB PNG.
// False when the file cannot be written.
bool WriteRgbPng(const std::string &path, int width, int height, const uint32_t *pixels,
                 size_t stride);

// Writes a surface as it would be seen: indexed pixels through the hardware palette.
bool WriteSurfacePng(const std::string &path, const Surface &surface);

}  // namespace compat
