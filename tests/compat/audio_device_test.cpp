// Wave input over SDL's "disk" audio driver, which records from a file: a real SDL capture
// device whose sound the test knows. And the multimedia timer's thread.
#include <mmsystem.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "common/temp_files.h"
#include "window_fixture.h"

namespace {

// Bytes 0, 7, 14, ... as the recorded sound, for 8-bit stereo: what arrives can be checked.
std::vector<uint8_t> RecordedSound() {
  std::vector<uint8_t> sound(64 * 1024);
  for (size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<uint8_t>(i * 7);
  return sound;
}

class AudioDevice : public HeadlessWindows {
 protected:
  // SDL reads its driver choice once, at the first use of wave input in this process. Set up
  // here rather than at start-up, since the X11 helper processes of this binary are killed and
  // would leave the folder behind.
  static void SetUpTestSuite() {
    static const TempFolder folder("disk-capture");
    const std::string path = folder.File("capture.raw");
    const std::vector<uint8_t> sound = RecordedSound();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(sound.data()), sound.size());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILEIN", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "5", 1);
  }
};

}  // namespace

TEST_F(AudioDevice, DiskDeviceIsListedAndRecordsIntoQueuedBuffersInOrder) {
  ASSERT_EQ(waveInGetNumDevs(), 1u);
  WAVEINCAPSA caps;
  ASSERT_EQ(waveInGetDevCapsA(0, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_STREQ(caps.szPname, "System audio capture device");
  EXPECT_EQ(caps.wChannels, 2);

  const WAVEFORMATEX eightBit = {WAVE_FORMAT_PCM, 2, 44100, 88200, 2, 8, 0};
  WAVEFORMATEX odd = eightBit;
  odd.wBitsPerSample = 12;
  EXPECT_EQ(waveInOpen(nullptr, 0, &eightBit, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
  EXPECT_EQ(waveInOpen(nullptr, 0, &odd, 0, 0, WAVE_FORMAT_QUERY), WAVERR_BADFORMAT);

  const HWND window = MakeWindow();
  HWAVEIN device = nullptr;
  ASSERT_EQ(
      waveInOpen(&device, 0, &eightBit, reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW),
      MMSYSERR_NOERROR);
  char memory[3][512];
  WAVEHDR headers[3] = {};
  for (int i = 0; i < 3; ++i) {
    headers[i].lpData = memory[i];
    headers[i].dwBufferLength = sizeof memory[i];
    ASSERT_EQ(waveInPrepareHeader(device, &headers[i], sizeof headers[i]), MMSYSERR_NOERROR);
  }
  ASSERT_EQ(waveInAddBuffer(device, &headers[0], sizeof headers[0]), MMSYSERR_NOERROR);
  ASSERT_EQ(waveInAddBuffer(device, &headers[1], sizeof headers[1]), MMSYSERR_NOERROR);
  EXPECT_EQ(waveInUnprepareHeader(device, &headers[0], sizeof headers[0]), WAVERR_STILLPLAYING);
  ASSERT_EQ(waveInStart(device), MMSYSERR_NOERROR);

  // Each buffer comes back full and in turn, with the file's bytes from its start.
  ASSERT_TRUE(PumpUntil([&] { return Of(MM_WIM_DATA).size() == 2; }));
  ASSERT_EQ(Of(MM_WIM_OPEN).size(), 1u);
  const std::vector<uint8_t> sound = RecordedSound();
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(reinterpret_cast<WAVEHDR *>(Of(MM_WIM_DATA)[i].lParam), &headers[i]);
    EXPECT_EQ(reinterpret_cast<HWAVEIN>(Of(MM_WIM_DATA)[i].wParam), device);
    EXPECT_EQ(headers[i].dwBytesRecorded, 512u);
    EXPECT_EQ(headers[i].dwFlags & (WHDR_DONE | WHDR_INQUEUE), DWORD{WHDR_DONE});
    EXPECT_EQ(std::memcmp(memory[i], sound.data() + 512 * i, 512), 0) << i;
  }

  // Reset hands back what is queued; only then may the device close.
  ASSERT_EQ(waveInStop(device), MMSYSERR_NOERROR);
  ASSERT_EQ(waveInAddBuffer(device, &headers[2], sizeof headers[2]), MMSYSERR_NOERROR);
  EXPECT_EQ(waveInClose(device), WAVERR_STILLPLAYING);
  ASSERT_EQ(waveInReset(device), MMSYSERR_NOERROR);
  EXPECT_EQ(headers[2].dwFlags & WHDR_INQUEUE, 0u);
  EXPECT_EQ(headers[2].dwBytesRecorded, 0u) << "stopped: nothing was recorded into it";
  ASSERT_EQ(waveInClose(device), MMSYSERR_NOERROR);
  ASSERT_TRUE(PumpUntil([&] { return Of(MM_WIM_CLOSE).size() == 1; }));
  EXPECT_EQ(Of(MM_WIM_DATA).size(), 3u);
  EXPECT_EQ(waveInAddBuffer(device, &headers[2], sizeof headers[2]), MMSYSERR_INVALHANDLE);
}

TEST_F(AudioDevice, TimerEventsRunOnTheirOwnThreadUntilKilled) {
  // Each event posts its user value; the calls of the first one are counted.
  static HWND target;
  static DWORD callerThread;
  static std::atomic<int> onCallerThread, killedCalls;
  target = MakeWindow();
  callerThread = GetCurrentThreadId();
  onCallerThread = killedCalls = 0;
  auto tick = [](UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    if (GetCurrentThreadId() == callerThread) ++onCallerThread;
    if (user == 42) ++killedCalls;
    PostMessageA(target, WM_USER + 1, user, 0);
  };
  const auto posted = [this](WPARAM user) {
    size_t count = 0;
    for (const Received &r : Of(WM_USER + 1)) count += r.wParam == user;
    return count;
  };
  const UINT id = timeSetEvent(5, 5, tick, 42, TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  ASSERT_TRUE(PumpUntil([&] { return posted(42) >= 3; }));
  ASSERT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  const int fired = killedCalls;
  EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);

  // While a second event fires six times, the killed one stays silent.
  const UINT witness = timeSetEvent(5, 5, tick, 7, TIME_PERIODIC);
  ASSERT_TRUE(PumpUntil([&] { return posted(7) >= 6; }));
  ASSERT_EQ(timeKillEvent(witness), TIMERR_NOERROR);
  EXPECT_EQ(killedCalls, fired) << "nothing runs after the kill";
  EXPECT_EQ(onCallerThread, 0);
}
