// The animation driver's timers on the virtual clock: the pacing period, disabling with its
// watchdog, the design interval, and erasing, read back from the headless framebuffer.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "compat/testing.h"
#include "engine/animation_driver.h"
#include "headless_scene.h"
#include "host/saver_main.h"
#include "host/saver_window.h"

namespace ct = compat::testing;

namespace {

constexpr char WATCHED_CLASS[] = "LumivaneTestWatched";
constexpr uint32_t WHITE = 0xFFFFFF;

DWORD start = 0;
DWORD At(DWORD offset) { return start + offset; }

WNDPROC saverProc = nullptr;
int drawTicks = 0;
int watchedCloses = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == DRAW_TIMER_ID) ++drawTicks;
  return CallWindowProcA(saverProc, window, message, wParam, lParam);
}

LRESULT CALLBACK WatchedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ++watchedCloses;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND Saver() { return FindWindowA(SAVER_CLASS_NAME, SAVER_FULLSCREEN_TITLE); }

void CountDrawTicks() {
  saverProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Saver(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
}

void PaintWhite(HWND window) {
  HDC dc = GetDC(window);
  RECT client = {};
  GetClientRect(window, &client);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, &client, white);
  DeleteObject(white);
  ReleaseDC(window, dc);
}

// The one colour every pixel of the window has, or -1 when they differ.
long long SoleColour(HWND window) {
  int width = 0, height = 0;
  const std::vector<uint32_t> pixels = ct::ReadWindowPixels(window, &width, &height);
  if (pixels.empty()) return -1;
  const uint32_t first = pixels[0] & 0xFFFFFF;
  for (uint32_t pixel : pixels)
    if ((pixel & 0xFFFFFF) != first) return -1;
  return first;
}

void SetSetting(const char *key, const char *value) {
  WritePrivateProfileStringA("Lumivane 95", key, value, "control.ini");
}

class DriverTiming : public ::testing::Test {
 protected:
  void SetUp() override {
    FreshHeadlessScene();
    start = ct::Now();
    drawTicks = 0;
    watchedCloses = 0;
  }
  void TearDown() override {
    SetSetting("SpeedInterval", nullptr);
    SetSetting("Refresh", nullptr);
  }
  int RunFullScreen(DWORD deadline) {
    ct::SetDeadline(At(deadline));
    return SaverMain(GetModuleHandleA(nullptr), "/s");
  }
};

}  // namespace

TEST_F(DriverTiming, DisabledWindowStopsTicksWatchdogClosesTheDialogAndEnablingTicksEvery20Ms) {
  SetSetting("SpeedInterval", "100");
  WNDCLASSA watchedClass = {};
  watchedClass.lpfnWndProc = WatchedProc;
  watchedClass.hInstance = GetModuleHandleA(nullptr);
  watchedClass.lpszClassName = WATCHED_CLASS;
  RegisterClassA(&watchedClass);
  CreateWindowExA(0, WATCHED_CLASS, WATCHDOG_TARGET_TITLE, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);

  int paced = -1, disabled = -1, enabled = -1, closesBefore = -1, closesAfter = -1;
  ct::ScheduleCall(At(1), CountDrawTicks);
  ct::ScheduleCall(At(1000), [] { drawTicks = 0; });
  ct::ScheduleCall(At(2000), [&] { paced = drawTicks; });
  ct::ScheduleCall(At(2100), [] { EnableWindow(Saver(), FALSE); });
  ct::ScheduleCall(At(3000), [] { drawTicks = 0; });
  ct::ScheduleCall(At(4000), [&] { disabled = drawTicks; });
  ct::ScheduleCall(At(17099), [&] { closesBefore = watchedCloses; });
  ct::ScheduleCall(At(17101), [&] { closesAfter = watchedCloses; });
  ct::ScheduleCall(At(18000), [] { EnableWindow(Saver(), TRUE); });
  ct::ScheduleCall(At(19000), [] { drawTicks = 0; });
  ct::ScheduleCall(At(20000), [&] { enabled = drawTicks; });
  ct::ScheduleKeyDown(At(20500), 'Q');

  EXPECT_EQ(RunFullScreen(30000), 0);
  EXPECT_FALSE(ct::DeadlineReached());
  EXPECT_NEAR(paced, 10, 1) << "SpeedInterval 100 ms";
  EXPECT_EQ(disabled, 0);
  EXPECT_EQ(closesBefore, 0);
  EXPECT_EQ(closesAfter, 1) << "the watchdog fires 15 s after the window was disabled";
  EXPECT_NEAR(enabled, 50, 1) << "20 ms once enabled, whatever SpeedInterval says";
}

TEST_F(DriverTiming, TheDesignChangesOnTheTimerOnlyWhenRefreshIsSet) {
  for (const char *refresh : {"1", "0"}) {
    FreshHeadlessScene();
    start = ct::Now();
    SetSetting("Refresh", refresh);
    // No line sets drawn, so the window shows only what the design change does to it.
    SetSetting("SpeedGroupSize", "0");
    long long before = -1, after = -1, muchLater = -1;
    ct::ScheduleCall(At(100), [] { PaintWhite(Saver()); });
    ct::ScheduleCall(At(990), [&] { before = SoleColour(Saver()); });
    ct::ScheduleCall(At(1100), [&] { after = SoleColour(Saver()); });
    ct::ScheduleCall(At(9000), [&] { muchLater = SoleColour(Saver()); });
    ct::ScheduleKeyDown(At(9500), 'Q');
    EXPECT_EQ(RunFullScreen(20000), 0);
    EXPECT_EQ(before, WHITE) << "Refresh " << refresh;
    if (refresh[0] == '1') {
      EXPECT_EQ(after, 0) << "a design change clears the window";
    } else {
      EXPECT_EQ(after, WHITE) << "Refresh 0 never changes the design on the timer";
      EXPECT_EQ(muchLater, WHITE) << "Refresh 0 never changes the design on the timer";
    }
  }
}

TEST_F(DriverTiming, EraseBackgroundBlacksTheWholeWindowAndIsNotPassedOn) {
  LRESULT result = -1;
  long long white = -1, erased = -1;
  ct::ScheduleCall(At(100), [&] {
    HWND saver = Saver();
    PaintWhite(saver);
    white = SoleColour(saver);
    HDC dc = GetDC(saver);
    result = SendMessageA(saver, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(saver, dc);
    erased = SoleColour(saver);
  });
  ct::ScheduleKeyDown(At(200), 'Q');
  EXPECT_EQ(RunFullScreen(5000), 0);
  EXPECT_EQ(white, WHITE);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(erased, 0);
}
