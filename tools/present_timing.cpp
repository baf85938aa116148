#include "tools/present_timing.h"

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "backend/frame_presenter.h"
#include "gdi/display.h"
#include "gdi/raster.h"

namespace {

constexpr int BATCHES = 7;
constexpr double BATCH_MS = 60;
// About as much ink as a busy design leaves on the screen.
constexpr int LINES_PER_MEGAPIXEL = 6000;
constexpr int LONGEST_LINE = 300;

double ThreadCpuMs() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

// A fixed sequence, so every run presents the same picture.
struct Sequence {
  uint32_t state = 1;
  int Below(int n) {
    state = state * 1103515245u + 12345u;
    return int((state >> 8) % uint32_t(n));
  }
};

void DrawPicture(compat::Surface &surface) {
  Sequence random;
  const int lines = int(int64_t(LINES_PER_MEGAPIXEL) * surface.width * surface.height / 1000000);
  for (int i = 0; i < lines; ++i) {
    const int x = random.Below(surface.width), y = random.Below(surface.height);
    const int x1 = x + random.Below(2 * LONGEST_LINE) - LONGEST_LINE;
    const int y1 = y + random.Below(2 * LONGEST_LINE) - LONGEST_LINE;
    const uint32_t index = compat::FIRST_FREE_SLOT + random.Below(compat::LAST_FREE_SLOT - compat::FIRST_FREE_SLOT + 1);
    compat::DrawThinLine(surface, x, y, x1, y1, index);
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

double WholePaletteFrameMs(int width, int height) {
  compat::Surface surface;
  compat::InitDisplaySurface(surface, width, height);
  DrawPicture(surface);
  std::vector<uint32_t> shown(size_t(width) * height);
  compat::FramePresenter presenter;
  int frame = 0;
  TurnPalette(surface, frame++);
  presenter.Update(surface, shown.data(), width);
  std::vector<double> perFrame;
  for (int batch = 0; batch < BATCHES; ++batch) {
    const double started = ThreadCpuMs();
    int frames = 0;
    double spent = 0;
    do {
      TurnPalette(surface, frame++);
      surface.damage.MarkAll();
      presenter.Update(surface, shown.data(), width);
      ++frames;
      spent = ThreadCpuMs() - started;
    } while (spent < BATCH_MS);
    perFrame.push_back(spent / frames);
  }
  std::nth_element(perFrame.begin(), perFrame.begin() + BATCHES / 2, perFrame.end());
  return perFrame[BATCHES / 2];
}
