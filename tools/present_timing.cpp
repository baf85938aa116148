#include "tools/present_timing.h"

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "backend/frame_presenter.h"
#include "gdi/display.h"

namespace {

constexpr int BATCHES = 7;
// Presenting time per batch: frames from cold caches spend most of their time evicting, so
// their batches are shorter.
constexpr double BATCH_MS = 60;
constexpr double COLD_BATCH_MS = 10;
// Read before each cold frame: more than the processor's last-level cache holds.
constexpr size_t EVICTION_BYTES = size_t(64) << 20;

double ThreadCpuMs() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}
// The picture's colours as palette indices: 0 for black, the free entries for the rest.
void PaintPicture(compat::Surface &surface, const RgbPicture &picture) {
  constexpr int FREE = compat::LAST_FREE_SLOT - compat::FIRST_FREE_SLOT + 1;
  for (size_t i = 0; i < surface.pixels8.size(); ++i) {
    const uint32_t rgb = picture.pixels[i] & 0xFFFFFF;
    surface.pixels8[i] = rgb == 0 ? 0 : uint8_t(compat::FIRST_FREE_SLOT + (rgb * 2654435761u >> 24) % FREE);
  }
}

// Palette animation: the free entries take each other's colours, one place on per frame.
void TurnPalette(compat::Surface &surface, int frame) {
  for (int slot = compat::FIRST_FREE_SLOT; slot <= compat::LAST_FREE_SLOT; ++slot) {
    const uint32_t k = uint32_t(slot + frame);
    surface.hardwarePalette[slot] = ((k * 37) & 0xFF) << 16 | ((k * 91) & 0xFF) << 8 | ((k * 13) & 0xFF);
  }
}

// Reads a line of every 64 bytes of `memory`, so that what was cached before is gone.
void Evict(const std::vector<uint64_t> &memory) {
  uint64_t sum = 0;
  for (size_t i = 0; i < memory.size(); i += 8) sum += memory[i];
  // Kept, so that the reads are not optimised away.
  volatile uint64_t kept = sum;
  (void)kept;
}

}  // namespace

double WholePaletteFrameMs(const RgbPicture &picture, bool coldCaches) {
  const int width = picture.width, height = picture.height;
  compat::Surface surface;
  compat::InitDisplaySurface(surface, width, height);
  PaintPicture(surface, picture);
  // Page-aligned, as the window system's shared pixels are.
  std::unique_ptr<uint32_t, decltype(&std::free)> shown(
      static_cast<uint32_t *>(std::aligned_alloc(4096, (size_t(width) * height * 4 + 4095) / 4096 * 4096)), std::free);
  compat::FramePresenter presenter;
  int frame = 0;
  TurnPalette(surface, frame++);
  presenter.Update(surface, shown.get(), width);
  std::vector<uint64_t> other(coldCaches ? EVICTION_BYTES / 8 : 0, 1);
  std::vector<double> perFrame;
  for (int batch = 0; batch < BATCHES; ++batch) {
    int frames = 0;
    double spent = 0;
    do {
      TurnPalette(surface, frame++);
      surface.damage.MarkAll();
      if (coldCaches) Evict(other);
      const double started = ThreadCpuMs();
      presenter.Update(surface, shown.get(), width);
      spent += ThreadCpuMs() - started;
      ++frames;
    } while (spent < (coldCaches ? COLD_BATCH_MS : BATCH_MS));
    perFrame.push_back(spent / frames);
  }
  std::nth_element(perFrame.begin(), perFrame.begin() + BATCHES / 2, perFrame.end());
  return perFrame[BATCHES / 2];
}
