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
constexpr double BATCH_MS = 60;

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

}  // namespace

double WholePaletteFrameMs(const RgbPicture &picture) {
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
  std::vector<double> perFrame;
  for (int batch = 0; batch < BATCHES; ++batch) {
    const double started = ThreadCpuMs();
    int frames = 0;
    double spent = 0;
    do {
      TurnPalette(surface, frame++);
      surface.damage.MarkAll();
      presenter.Update(surface, shown.get(), width);
      ++frames;
      spent = ThreadCpuMs() - started;
    } while (spent < BATCH_MS);
    perFrame.push_back(spent / frames);
  }
  std::nth_element(perFrame.begin(), perFrame.begin() + BATCHES / 2, perFrame.end());
  return perFrame[BATCHES / 2];
}
