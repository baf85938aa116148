#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace compat {

bool WriteRgbPng(const std::string &path, int width, int height, const uint32_t *pixels,
                 size_t stride) {
  if (width <= 0 || height <= 0 || !pixels) return false;
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[size_t(y) * stride + x];
      uint8_t *out = &rgb[(size_t(y) * width + x) * 3];
      out[0] = uint8_t(p >> 16);
      out[1] = uint8_t(p >> 8);
      out[2] = uint8_t(p);
    }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  // libpng writes straight to the final name; write beside it and rename, so a reader never
  // sees half a picture.
  const std::string temporary = path + ".part";
  if (!png_image_write_to_file(&image, temporary.c_str(), 0, rgb.data(), width * 3, nullptr)) {
    std::remove(temporary.c_str());
    return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool WriteSurfacePng(const std::string &path, const Surface &surface) {
  if (!surface.indexed)
    return WriteRgbPng(path, surface.width, surface.height, surface.pixels32.data(), surface.width);
  std::vector<uint32_t> seen(surface.pixels8.size());
  for (size_t i = 0; i < seen.size(); ++i) seen[i] = surface.hardwarePalette[surface.pixels8[i]];
  return WriteRgbPng(path, surface.width, surface.height, seen.data(), surface.width);
}

}  // namespace compat
