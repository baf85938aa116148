// The pixels behind a window: what GDI draws into and what a backend presents.
#pragma once

#include "damage.h"

#include <cstdint>
#include <vector>

namespace compat {

struct Surface {
  int width = 0;
  int height = 0;
  bool indexed = true;                 // 8-bit palette display, else 32-bit true colour
  std::vector<uint8_t> pixels8;        // indexed: one palette index per pixel
  std::vector<uint32_t> pixels32;      // true colour: 0x00RRGGBB per pixel
  uint32_t hardwarePalette[256] = {};  // indexed: 0x00RRGGBB of each hardware entry
  uint64_t generation = 0;             // bumped by every change a backend must present
  DamageGrid damage;                   // where pixels changed since the last presentation
};

}  // namespace compat
