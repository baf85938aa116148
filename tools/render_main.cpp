// lumivane-render: runs the real saver on a virtual display and writes what it drew as PNG.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/headless_run.h"
#include "tools/png_file.h"
#include "tools/render_options.h"
#include "tools/saver_setup.h"

namespace {

constexpr char PROGRAM[] = "lumivane-render";
// Runs shorter than this many ticks finish too fast for progress to help.
constexpr int PROGRESS_FROM_TICKS = 500;

int Fail(const std::string &message) {
  std::fprintf(stderr, "%s: %s\n", PROGRAM, message.c_str());
  return 1;
}

// A progress line on a terminal, redrawn at each percent.
TickProgress TerminalProgress(int ticks) {
  if (ticks < PROGRESS_FROM_TICKS || !isatty(STDERR_FILENO)) return nullptr;
  return [ticks, shown = -1](int done) mutable {
    const int percent = static_cast<int>(100LL * done / ticks);
    if (percent == shown) return;
    shown = percent;
    std::fprintf(stderr, "\r%s: tick %d of %d (%d%%)", PROGRAM, done, ticks, percent);
    if (done == ticks) std::fputc('\n', stderr);
    std::fflush(stderr);
  };
}

}  // namespace

int main(int argc, char **argv) {
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", PROGRAM, error.c_str(), PROGRAM);
    return 2;
  }
  if (options.help) {
    std::fputs(RenderUsage().c_str(), stdout);
    return 0;
  }

  // Everything the saver reads from outside is fixed here: settings, seed and display.
  ThrowawayHome home;
  if (!home.ok()) return Fail("cannot create a temporary settings folder");
  setenv("LUMIVANE_SEED", std::to_string(options.seed).c_str(), 1);
  setenv("LUMIVANE_DISPLAY", DisplayName(options.display), 1);

  SaverSetup setup;
  setup.design = options.design;
  setup.favorite = options.favorite;
  if (!WriteSaverSettings(setup, &error)) return Fail(error);

  RgbPicture picture;
  if (!RenderSaverHeadless(options.width, options.height, options.ticks,
                           TerminalProgress(options.ticks), &picture, &error))
    return Fail(error);
  if (!WritePng(options.out, picture, &error)) return Fail(error);
  std::printf("%s\n", options.out.c_str());
  return 0;
}
