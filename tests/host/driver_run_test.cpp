// The animation driver inside a real full-screen run: enabling and disabling, the watchdog,
// and the throughput it writes when the window goes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/animation_driver.h"
#include "host/saver_window.h"
#include "saver_script.h"

namespace {

constexpr char WATCHED_CLASS[] = "LumivaneTestWatchedDialog";
int closesReceived = 0;

LRESULT CALLBACK WatchedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ++closesReceived;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

long long StoredLastSpeed() {
  char text[32] = "";
  GetPrivateProfileStringA(SETTINGS_SECTION, "LastSpeed", "", text, sizeof text, "control.ini");
  return text[0] ? std::strtoll(text, nullptr, 10) : -1;
}

}  // namespace

TEST(Driver, DisablingStopsDrawingArmsTheWatchdogAndEnablingRestartsDrawing) {
  WNDCLASSA watchedClass = {};
  watchedClass.lpfnWndProc = WatchedProc;
  watchedClass.hInstance = GetModuleHandleA(nullptr);
  watchedClass.lpszClassName = WATCHED_CLASS;
  RegisterClassA(&watchedClass);
  HWND watched = CreateWindowExA(0, WATCHED_CLASS, WATCHDOG_TARGET_TITLE, WS_POPUP, 0, 0, 10, 10,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  closesReceived = 0;

  const int exitCode = RunFullScreen({
      [](HWND) {
        EXPECT_TRUE(animation.running);
        EXPECT_TRUE(animation.drawTimerArmed);
        EXPECT_FALSE(animation.watchdogArmed);
        return true;
      },
      [](HWND saver) {
        SendMessageA(saver, WM_ENABLE, FALSE, 0);
        EXPECT_FALSE(animation.drawTimerArmed);
        EXPECT_TRUE(animation.watchdogArmed);
        // The watchdog's own tick, as its timer would deliver it.
        SendMessageA(saver, WM_TIMER, WATCHDOG_TIMER_ID, 0);
        EXPECT_FALSE(animation.watchdogArmed);
        EXPECT_EQ(closesReceived, 1);
        return true;
      },
      [](HWND saver) {
        SendMessageA(saver, WM_ENABLE, FALSE, 0);
        SendMessageA(saver, WM_ENABLE, TRUE, 0);
        EXPECT_TRUE(animation.drawTimerArmed);
        EXPECT_FALSE(animation.watchdogArmed);
        return true;
      },
      Send(WM_KEYDOWN, 'A'),
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(ScriptFinished());
  EXPECT_LE(ScriptTicks(), GIVE_UP_STEPS);
  EXPECT_FALSE(animation.running);
  EXPECT_FALSE(animation.drawTimerArmed);
  DestroyWindow(watched);
  UnregisterClassA(WATCHED_CLASS, GetModuleHandleA(nullptr));
}

TEST(Driver, LastSpeedIsWrittenAtShutDownWithoutWrappingLongRuns) {
  // A count whose product with 1000 a 32-bit value cannot hold.
  constexpr int32_t lines = 50000000;
  DWORD shortestElapsed = 0;
  DWORD throughputStart = 0;
  RunFullScreen({
      [&](HWND saver) {
        animation.linesDrawn = lines;
        throughputStart = animation.throughputStart;
        shortestElapsed = GetTickCount() - throughputStart;
        SendMessageA(saver, WM_KEYDOWN, 'A', 0);
        return true;
      },
  });
  const DWORD longestElapsed = GetTickCount() - throughputStart;
  const long long stored = StoredLastSpeed();
  ASSERT_GT(shortestElapsed, 0u);
  EXPECT_GE(stored, (long long)lines * 1000 / longestElapsed);
  EXPECT_LE(stored, (long long)lines * 1000 / shortestElapsed);
  WritePrivateProfileStringA(SETTINGS_SECTION, "LastSpeed", nullptr, "control.ini");
}
