// How many lines a second the renderer draws for a built-in design, drawn as the saver draws
// it: a full-screen window, the palette animated, Polite on, nothing throttling the pace.
// Prints the figure; on Linux run it with LUMIVANE_BACKEND=headless to leave the display out.
//
//   engine_benchmark [design name] [width height] [seconds]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/crt_random.h"
#include "engine/line_model.h"
#include "engine/palette_engine.h"
#include "engine/renderer.h"
#include "settings/builtin_designs.h"
#include "settings/design_string.h"
#include "settings/settings_store.h"

namespace {

const char *FindBuiltinDesign(const std::string &name) {
  for (const char *text : SEEDED_DESIGNS) {
    if (std::strncmp(text, name.c_str(), name.size()) == 0 && text[name.size()] == ',') return text;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char **argv) {
  const std::string name = argc > 1 ? argv[1] : "Hypnotic Eye";
  const int width = argc > 3 ? std::atoi(argv[2]) : 1920;
  const int height = argc > 3 ? std::atoi(argv[3]) : 1080;
  const double seconds = argc > 4 ? std::atof(argv[4]) : 3.0;
  const char *text = FindBuiltinDesign(name);
  if (text == nullptr) {
    std::fprintf(stderr, "no built-in design named \"%s\"\n", name.c_str());
    return 2;
  }

  SettingsStore store;
  store.Design = ParseDesignString(text, store.Design, ParseMode::ForPlay).Design;
  store.Polite = 1;
  store.Divisor = 1;

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "LumivaneBenchmark";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Lumivane benchmark", WS_POPUP | WS_VISIBLE, 0, 0,
                                width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) {
    std::fprintf(stderr, "no window\n");
    return 1;
  }

  SeedRandom(1);
  StartColourWalks(store);
  PaletteCapacity(window);
  BuildPalette(window);
  bool running = true;
  AttachRenderer(RendererLinks{window, &running, &store});

  const DesignParams &design = store.Design;
  ResetLineSet(RECT{0, 0, width, height}, design);
  SetSymmetry(design.Symmetry);
  SetSpin(design.Spin);
  SetLineSize(design.LineSize);
  SetTrailLength(design.TrailLength);
  SetSpeed(design.Speed);
  SetRotations(design.Rotations);
  SetBandCount(design.ColorBands);
  SetBandWidth(design.ColorBandWidth);
  SetRotationMode(window, design.ColorRotation);
  SetCheese(design.Cheese);
  ResetTrailRing();
  linesDrawn = 0;

  HDC dc = GetDC(window);
  HPALETTE previous = SelectPaletteForTick(dc);
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  double elapsed = 0;
  uint64_t sets = 0;
  while (elapsed < seconds) {
    // As the saver's message loop would: whatever made a line set give way is dealt with.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    for (int i = 0; i < 1000; ++i, ++sets) {
      if (!DrawLineSet(dc)) break;
    }
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  }
  RestorePaletteAfterTick(dc, previous);
  ReleaseDC(window, dc);

  std::printf("%s at %dx%d, Polite on: %llu line sets, %llu lines in %.2f s = %.0f lines/s\n", name.c_str(), width,
              height, static_cast<unsigned long long>(sets), static_cast<unsigned long long>(linesDrawn), elapsed,
              linesDrawn / elapsed);
  running = false;
  ReleaseTrailRing();
  ReleasePalette();
  DestroyWindow(window);
  return 0;
}
