#include "tools/headless_run.h"

#include <windows.h>

#include "compat/testing.h"
#include "engine/animation_driver.h"
#include "host/saver_main.h"
#include "host/saver_window.h"

namespace {

// How long a run may go on past its last tick in virtual time before it is stopped as stuck.
constexpr DWORD STUCK_MARGIN_MS = 60000;

struct Capture {
  int ticksWanted = 0;
  int ticksDone = 0;
  const TickProgress *progress = nullptr;
  WNDPROC saverProc = nullptr;
  bool taken = false;
  RgbPicture *picture = nullptr;
};
Capture capture;

void TakePicture(HWND saver) {
  capture.picture->pixels =
      compat::testing::ReadWindowPixels(saver, &capture.picture->width, &capture.picture->height);
  capture.taken = !capture.picture->pixels.empty();
  // The normal way out, so the saver shuts down as after a dismissal.
  PostMessageA(saver, WM_CLOSE, 0, 0);
}

// Sits in front of the saver's own window procedure and counts the draw timer's ticks.
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcA(capture.saverProc, window, message, wParam, lParam);
  if (message == WM_TIMER && wParam == DRAW_TIMER_ID && !capture.taken) {
    ++capture.ticksDone;
    if (*capture.progress) (*capture.progress)(capture.ticksDone);
    if (capture.ticksDone >= capture.ticksWanted) TakePicture(window);
  }
  return result;
}

void Attach() {
  HWND saver = FindWindowA(SAVER_CLASS_NAME, SAVER_FULLSCREEN_TITLE);
  if (saver == nullptr) return;
  if (capture.ticksWanted == 0) {
    TakePicture(saver);
    return;
  }
  capture.saverProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(saver, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
}

}  // namespace

bool RenderSaverHeadless(int width, int height, int ticks, const TickProgress &progress,
                         RgbPicture *picture, std::string *error) {
  compat::testing::UseHeadless();
  compat::testing::ResetHeadless();
  compat::testing::SetScreenSize(width, height);
  capture = Capture();
  capture.ticksWanted = ticks;
  capture.progress = &progress;
  capture.picture = picture;
  const DWORD start = compat::testing::Now();
  // The window is created at the start time and its first tick comes a timer period later;
  // one millisecond in, the window exists and has not ticked yet.
  compat::testing::ScheduleCall(start + 1, Attach);
  const unsigned long long stuckAfter =
      static_cast<unsigned long long>(ticks) * 1000ull + STUCK_MARGIN_MS;
  compat::testing::SetDeadline(start + static_cast<DWORD>(stuckAfter < 0xF0000000ull ? stuckAfter
                                                                                      : 0xF0000000ull));
  SaverMain(GetModuleHandleA(nullptr), "/s");
  if (compat::testing::DeadlineReached() && !capture.taken) {
    *error = "the saver stopped ticking after " + std::to_string(capture.ticksDone) + " of " +
             std::to_string(ticks) + " ticks";
    return false;
  }
  if (!capture.taken) {
    *error = capture.saverProc == nullptr && ticks > 0
                 ? "the saver window did not appear"
                 : "the saver ended after " + std::to_string(capture.ticksDone) + " of " +
                       std::to_string(ticks) + " ticks";
    return false;
  }
  return true;
}
