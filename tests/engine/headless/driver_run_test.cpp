// The animation driver inside whole saver runs on the virtual clock: its timers, the design
// interval, erasing (read back from the headless framebuffer), the palette calls of a run,
// from the layer's call log, and sound capture on a hand-driven wave-input device (starting
// with the window, retried every ten seconds, a vanished device let go). That the reports
// reach the modulation and a device that comes back is used again the end-to-end run on a
// real sound server shows; the digits as CD keys, the one on a disc image.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/fake_wave_input.h"
#include "audio/sound_capture.h"
#include "audio/sound_modulation.h"
#include "common/headless_scene.h"
#include "engine/animation_driver.h"
#include "engine/line_model.h"
#include "engine/palette_engine.h"

namespace ct = compat::testing;

namespace {

constexpr char WATCHED_CLASS[] = "LumivaneTestWatched";
constexpr uint32_t WHITE = 0xFFFFFF;

WNDPROC saverProc = nullptr;
int drawTicks = 0;
int watchedCloses = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == DRAW_TIMER_ID) ++drawTicks;
  return CallWindowProcA(saverProc, window, message, wParam, lParam);
}

LRESULT CALLBACK WatchedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_CLOSE) return DefWindowProcA(window, message, wParam, lParam);
  ++watchedCloses;
  return 0;
}

void PaintWhite(HWND window) {
  HDC dc = GetDC(window);
  RECT client = {};
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
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

bool AcceptNothing(const WAVEFORMATEX &) { return false; }

class DriverRun : public ::testing::Test {
 protected:
  // The saver listens, to the hand-driven device, and changes designs every minute.
  static void Listen() {
    UseFakeWaveInput();
    SetSetting("Audio", "1");
    SetSetting("Refresh", "60");
  }
  void TearDown() override {
    for (const char *key : {"SpeedInterval", "Refresh", "SpeedGroupSize", "Audio"})
      SetSetting(key, nullptr);
    UsePlatformWaveInput();
  }
};

}  // namespace

TEST_F(DriverRun, DisabledWindowStopsTicksWatchdogClosesTheDialogAndEnablingTicksEvery20Ms) {
  SetSetting("SpeedInterval", "100");
  SetWindowTextA(OpenTestWindow(WATCHED_CLASS, WatchedProc, 50, 50), WATCHDOG_TARGET_TITLE);
  drawTicks = watchedCloses = 0;

  int paced = -1, disabled = -1, enabled = -1, closesBefore = -1, closesAfter = -1;
  // The draw ticks in the second from `from`.
  auto ticksInASecond = [](DWORD from, int &ticks) {
    ct::ScheduleCall(At(from), [] { drawTicks = 0; });
    ct::ScheduleCall(At(from + 1000), [&ticks] { ticks = drawTicks; });
  };
  ct::ScheduleCall(At(1), [] {
    saverProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Saver(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
  });
  ticksInASecond(1000, paced);
  ct::ScheduleCall(At(2100), [] { EnableWindow(Saver(), FALSE); });
  ticksInASecond(3000, disabled);
  ct::ScheduleCall(At(17099), [&] { closesBefore = watchedCloses; });
  ct::ScheduleCall(At(17101), [&] { closesAfter = watchedCloses; });
  ct::ScheduleCall(At(18000), [] { EnableWindow(Saver(), TRUE); });
  ticksInASecond(19000, enabled);
  ct::ScheduleKeyDown(At(20500), 'Q');

  EXPECT_EQ(RunSaver("/s", 30000), 0);
  EXPECT_FALSE(ct::DeadlineReached());
  EXPECT_NEAR(paced, 10, 1) << "SpeedInterval 100 ms";
  EXPECT_EQ(disabled, 0);
  EXPECT_EQ(closesBefore, 0);
  EXPECT_EQ(closesAfter, 1) << "the watchdog fires 15 s after the window was disabled";
  EXPECT_NEAR(enabled, 50, 1) << "20 ms once enabled, whatever SpeedInterval says";
}

TEST_F(DriverRun, TheDesignChangesOnTheTimerOnlyWhenRefreshIsSetAndErasingBlacksTheWindow) {
  for (const char *refresh : {"1", "0"}) {
    FreshHeadlessScene();
    SetSetting("Refresh", refresh);
    // No line sets drawn, so the window shows only what the design change does to it.
    SetSetting("SpeedGroupSize", "0");
    long long before = -1, after = -1, erased = -1;
    LRESULT erasing = -1;
    ct::ScheduleCall(At(100), [] { PaintWhite(Saver()); });
    ct::ScheduleCall(At(990), [&] { before = SoleColour(Saver()); });
    ct::ScheduleCall(At(1100), [&] {
      after = SoleColour(Saver());
      PaintWhite(Saver());
      HDC dc = GetDC(Saver());
      erasing = SendMessageA(Saver(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      ReleaseDC(Saver(), dc);
      erased = SoleColour(Saver());
    });
    ct::ScheduleKeyDown(At(9500), 'Q');
    EXPECT_EQ(RunSaver("/s", 20000), 0);
    EXPECT_EQ(before, WHITE) << "Refresh " << refresh;
    EXPECT_EQ(after, refresh[0] == '1' ? 0 : WHITE)
        << "Refresh " << refresh << ": a design change clears the window, Refresh 0 never comes";
    EXPECT_EQ(erasing, 0) << "erasing is the driver's and not passed on";
    EXPECT_EQ(erased, 0);
  }
}

// Each run stands for a fresh process, which has not realised its palette yet.
TEST_F(DriverRun, TrueColourNeverSelectsAPaletteAndAPaletteDisplayRealisesOnceOnTheFirstTick) {
  ForEachDisplay(
      [](bool palette) {
        ThePaletteEngine().realised = false;
        compat::EnablePaletteCallLog(true);
        compat::TakePaletteCallLog();
        ct::ScheduleKeyDown(ct::Now() + 1000, 'A');
        EXPECT_EQ(RunSaver("/s", Elapsed() + 20000), 0);
        EXPECT_FALSE(ct::DeadlineReached());
        std::vector<std::string> calls;
        for (const std::string &call : compat::TakePaletteCallLog())
          if (call == "SelectPalette" || call == "RealizePalette") calls.push_back(call);
        compat::EnablePaletteCallLog(false);
        if (!palette) {
          EXPECT_TRUE(calls.empty());
          return;
        }
        ASSERT_GE(calls.size(), 7u)
            << "several ticks, each selecting the palette and the previous one back";
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "RealizePalette"), 1);
        // The first tick: select, realise, select back; every later tick only selects.
        EXPECT_EQ(calls[0], "SelectPalette");
        EXPECT_EQ(calls[1], "RealizePalette");
        EXPECT_EQ(calls[2], "SelectPalette");
      });
}

TEST_F(DriverRun, SoundCaptureStartsWithTheWindowAndStopsWithIt) {
  Listen();
  bool running = false, armed = false;
  DWORD interval = 0;
  int splitInterval = -1;
  ct::ScheduleCall(At(50), [&] {
    running = SoundCaptureRunning();
    armed = soundModulation.armed;
    interval = animation.designInterval;
    splitInterval = lineSet.splitInterval;
  });
  ct::ScheduleKeyDown(At(3000), 'Q');
  EXPECT_EQ(RunSaver("/s", 10000), 0);
  EXPECT_FALSE(ct::DeadlineReached());

  EXPECT_TRUE(running);
  EXPECT_TRUE(armed);
  EXPECT_EQ(interval, 604800000u);
  EXPECT_EQ(splitInterval, 0);
  // Shut-down stopped capture and closed the device.
  EXPECT_FALSE(SoundCaptureRunning());
  EXPECT_EQ(fakeWaveInput.calls.back(), "close");
  EXPECT_FALSE(fakeWaveInput.open);
}

TEST_F(DriverRun, TheCaptureStartIsRetriedEveryTenSecondsAndAVanishedDeviceIsLetGo) {
  Listen();
  fakeWaveInput.accepts = AcceptNothing;
  size_t probesAtStart = 0, probesBefore = 0, probesAfter = 0;
  bool runningAt20 = false, runningAfterLoss = true;
  DWORD intervalAfterLoss = 0;
  ct::ScheduleCall(At(50), [&] { probesAtStart = fakeWaveInput.queried.size(); });
  ct::ScheduleCall(At(9990), [&] { probesBefore = fakeWaveInput.queried.size(); });
  ct::ScheduleCall(At(10100), [&] {
    probesAfter = fakeWaveInput.queried.size();
    fakeWaveInput.accepts = [](const WAVEFORMATEX &) { return true; };
  });
  ct::ScheduleCall(At(20100), [&] {
    runningAt20 = SoundCaptureRunning();
    // The device vanishes: the next hand-over is refused.
    TickFakeTimer();
    ReturnFakeBuffer(0, nullptr);
    ReturnFakeBuffer(0, nullptr);
  });
  ct::ScheduleCall(At(20200), [&] {
    fakeWaveInput.addResult = MMSYSERR_NODRIVER;
    TickFakeTimer();
  });
  ct::ScheduleCall(At(20400), [&] {
    runningAfterLoss = SoundCaptureRunning();
    intervalAfterLoss = animation.designInterval;
    fakeWaveInput.accepts = AcceptNothing;
  });
  ct::ScheduleKeyDown(At(20500), '5');
  EXPECT_EQ(RunSaver("/s", 50000), 0);
  EXPECT_FALSE(ct::DeadlineReached());

  EXPECT_EQ(probesAtStart, 8u);
  EXPECT_EQ(probesBefore, 8u);
  EXPECT_EQ(probesAfter, 16u);
  EXPECT_TRUE(runningAt20) << "the device that became free was taken at the next try";
  EXPECT_FALSE(runningAfterLoss);
  EXPECT_EQ(intervalAfterLoss, 60000u) << "the clock changes designs again";
  EXPECT_EQ(Elapsed(), 20500u) << "without capture a digit dismisses";
}
