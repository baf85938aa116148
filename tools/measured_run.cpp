#include "tools/measured_run.h"

#include <windows.h>

#include <time.h>

#include "compat/testing.h"
#include "engine/animation_driver.h"
#include "engine/line_model.h"
#include "engine/renderer.h"
#include "host/saver_main.h"
#include "host/saver_window.h"
#include "settings/settings_store.h"

namespace {

// How often the run looks for the saver window, and then checks that it has not hung.
constexpr UINT WINDOW_WATCH_PERIOD_MS = 1;
constexpr UINT HANG_WATCH_PERIOD_MS = 250;
// A run that has not ended this long after it should have is closed by force.
constexpr double HANG_MARGIN_SECONDS = 10;

double Seconds(clockid_t clock) {
  timespec now;
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

enum class Stage { WaitingForWindow, WarmingUp, Measuring, Closing };

struct Measurement {
  double warmUp = 0;
  double length = 0;
  Stage stage = Stage::WaitingForWindow;
  WNDPROC saverProc = nullptr;
  double started = 0;
  double measureWall = 0;
  double measureCpu = 0;
  uint64_t measureLines = 0;
  uint64_t measureFrames = 0;
  double measureOtherCpu = 0;
  std::function<double()> otherCpu;
  int ticks = 0;
  RunFigures *figures = nullptr;
  UINT_PTR watchTimer = 0;
  bool hung = false;
};
Measurement run;

// Sits in front of the saver's window procedure; moves the stages on at each draw tick.
LRESULT CALLBACK MeasuringProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcA(run.saverProc, window, message, wParam, lParam);
  if (message != WM_TIMER || wParam != DRAW_TIMER_ID) return result;
  const double now = Seconds(CLOCK_MONOTONIC);
  if (run.stage == Stage::WarmingUp && now - run.started >= run.warmUp) {
    run.stage = Stage::Measuring;
    run.measureWall = now;
    run.measureCpu = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    run.measureLines = linesDrawn;
    run.measureFrames = compat::testing::PresentedFrames();
    run.measureOtherCpu = run.otherCpu ? run.otherCpu() : 0;
    run.ticks = 0;
  } else if (run.stage == Stage::Measuring) {
    ++run.ticks;
    if (now - run.measureWall >= run.length) {
      run.figures->wallSeconds = now - run.measureWall;
      run.figures->cpuSeconds = Seconds(CLOCK_PROCESS_CPUTIME_ID) - run.measureCpu;
      run.figures->ticks = run.ticks;
      run.figures->lines = static_cast<double>(linesDrawn - run.measureLines);
      run.figures->frames = static_cast<double>(compat::testing::PresentedFrames() - run.measureFrames);
      run.figures->otherCpuSeconds = run.otherCpu ? run.otherCpu() - run.measureOtherCpu : 0;
      // A cheese triangle counts as three lines.
      run.figures->linesPerSet =
          renderer.ring.linesPerStep * (lineSet.vertexCount == 3 ? 3.0 : 1.0);
      run.stage = Stage::Closing;
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
  }
  return result;
}

void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
  HWND saver = FindWindowA(SAVER_CLASS_NAME, SAVER_FULLSCREEN_TITLE);
  if (run.stage == Stage::WaitingForWindow) {
    if (saver == nullptr) return;
    run.saverProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(saver, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MeasuringProc)));
    run.started = Seconds(CLOCK_MONOTONIC);
    run.stage = Stage::WarmingUp;
    // From now on only a hang needs watching, and that not often.
    KillTimer(nullptr, run.watchTimer);
    run.watchTimer = SetTimer(nullptr, 0, HANG_WATCH_PERIOD_MS, Watch);
    return;
  }
  if (Seconds(CLOCK_MONOTONIC) - run.started > run.warmUp + run.length + HANG_MARGIN_SECONDS) {
    run.hung = true;
    KillTimer(nullptr, run.watchTimer);
    run.watchTimer = 0;
    if (saver != nullptr) DestroyWindow(saver);
  }
}

}  // namespace

bool RunSaverMeasured(double warmUpSeconds, double seconds, RunFigures *figures,
                      std::string *error, const std::function<double()> &otherCpu) {
  run = Measurement();
  run.otherCpu = otherCpu;
  run.warmUp = warmUpSeconds;
  run.length = seconds;
  run.figures = figures;
  run.watchTimer = SetTimer(nullptr, 0, WINDOW_WATCH_PERIOD_MS, Watch);
  SaverMain(GetModuleHandleA(nullptr), "/s");
  if (run.watchTimer != 0) KillTimer(nullptr, run.watchTimer);
  if (run.stage != Stage::Closing) {
    *error = run.stage == Stage::WaitingForWindow ? "the saver window did not appear"
             : run.hung                           ? "the saver stopped ticking"
                                                  : "the saver ended early";
    return false;
  }
  SettingsStore store;
  figures->lastSpeed = ReadLastSpeed(store);
  return true;
}
