// The driver with sound capture, on the virtual clock and a hand-driven wave-input device:
// capture starting with the window and retried every ten seconds, the digits as CD keys, a
// vanished device let go. That the reports reach the modulation and a device that comes back
// is used again the end-to-end run on a real sound server shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/cd_key.h"
#include "audio/fake_wave_input.h"
#include "audio/sound_capture.h"
#include "audio/sound_modulation.h"
#include "common/headless_scene.h"
#include "engine/animation_driver.h"
#include "engine/line_model.h"

namespace ct = compat::testing;

namespace {

std::vector<std::string> cdCommands;

// What the keys play; opening the drive and its time format are the CD keys' own affair.
MCIERROR WINAPI RecordCommand(LPCSTR command, LPSTR, UINT, HWND) {
  const std::string text = command;
  if (text.rfind("play", 0) == 0 || text.rfind("stop", 0) == 0) cdCommands.push_back(text);
  return 0;
}

bool AcceptNothing(const WAVEFORMATEX &) { return false; }

class DriverSound : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFakeWaveInput();
    cdKeys = CdKeys();
    cdKeys.sendCommand = RecordCommand;
    cdCommands.clear();
    SetSetting("Audio", "1");
    SetSetting("Refresh", "60");
  }
  void TearDown() override {
    SetSetting("Audio", nullptr);
    SetSetting("Refresh", nullptr);
    UsePlatformWaveInput();
    cdKeys = CdKeys();
  }
};

}  // namespace

TEST_F(DriverSound, CaptureStartsWithTheWindowAndTheDigitsBecomeCdKeys) {
  bool running = false, armed = false, aliveAfterDigits = false;
  DWORD interval = 0;
  int splitInterval = -1;
  ct::ScheduleCall(At(50), [&] {
    running = SoundCaptureRunning();
    armed = soundModulation.armed;
    interval = animation.designInterval;
    splitInterval = lineSet.splitInterval;
  });
  ct::ScheduleKeyDown(At(100), '1');
  ct::ScheduleKeyUp(At(150), '1');
  ct::ScheduleKeyDown(At(300), '2');
  ct::ScheduleKeyUp(At(350), '2');
  ct::ScheduleKeyDown(At(2000), '0');
  ct::ScheduleCall(At(2500), [&] { aliveAfterDigits = Saver() != nullptr; });
  ct::ScheduleKeyDown(At(3000), 'Q');
  EXPECT_EQ(RunSaver("/s", 10000), 0);
  EXPECT_FALSE(ct::DeadlineReached()) << "a letter still dismisses";

  EXPECT_TRUE(running);
  EXPECT_TRUE(armed);
  EXPECT_EQ(interval, 604800000u);
  EXPECT_EQ(splitInterval, 0);
  EXPECT_TRUE(aliveAfterDigits);
  EXPECT_EQ(cdCommands, (std::vector<std::string>{"play cdaudio from 1:0", "play cdaudio from 12:0",
                                                  "stop cdaudio"}));
  // Shut-down stopped capture and closed the device.
  EXPECT_FALSE(SoundCaptureRunning());
  EXPECT_EQ(fakeWaveInput.calls.back(), "close");
  EXPECT_FALSE(fakeWaveInput.open);
}

TEST_F(DriverSound, TheStartIsRetriedEveryTenSecondsAndAVanishedDeviceIsLetGo) {
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
  EXPECT_TRUE(cdCommands.empty());
}
