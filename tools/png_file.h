// PNG files of 8-bit RGB pictures: written the same way every time, so equal pixels give equal
// bytes, and read back for comparisons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, row after row
};

// Writes beside the final name and renames, so a reader never sees half a picture.
// On failure returns false and says why in *error.
bool WritePng(const std::string &path, const RgbPicture &picture, std::string *error);

// False (and why in *error) when the file is missing or not a PNG libpng can read.
bool ReadPng(const std::string &path, RgbPicture *picture, std::string *error);
