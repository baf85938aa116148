// Wave input over SDL's "disk" audio driver, which records from a file: a real SDL capture
// device whose sound the test knows. And the multimedia timer's thread.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_files.h"
#include "window_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

// Bytes 0, 1, 2, ... as the recorded sound, for 8-bit stereo: what arrives can be checked.
std::vector<uint8_t> RecordedSound() {
  std::vector<uint8_t> sound(64 * 1024);
  for (size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<uint8_t>(i * 7);
  return sound;
}

// SDL reads its driver choice once, at the first use of wave input in this process.
const std::string soundFile = [] {
  static const TempFolder folder("disk-capture");
  const std::string path = folder.File("capture.raw");
  const std::vector<uint8_t> sound = RecordedSound();
  FILE *out = std::fopen(path.c_str(), "wb");
  std::fwrite(sound.data(), 1, sound.size(), out);
  std::fclose(out);
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILEIN", path.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "5", 1);
  return path;
}();

class AudioDevice : public HeadlessWindows {
 protected:
  // Dispatches messages until `done` holds or five seconds have passed.
  bool PumpUntil(const std::function<bool()> &done) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    while (!done()) {
      if (Clock::now() > deadline) return false;
      MSG msg;
      if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
      else
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }
  static WAVEFORMATEX Format(WORD channels, DWORD rate, WORD bits) {
    WAVEFORMATEX f = {WAVE_FORMAT_PCM, channels, rate, rate * channels * bits / 8,
                      static_cast<WORD>(channels * bits / 8), bits, 0};
    return f;
  }
};

}  // namespace

TEST_F(AudioDevice, DiskDeviceIsListedAndRecordsIntoQueuedBuffersInOrder) {
  ASSERT_EQ(waveInGetNumDevs(), 1u);
  WAVEINCAPSA caps;
  ASSERT_EQ(waveInGetDevCapsA(0, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_STREQ(caps.szPname, "System audio capture device");
  EXPECT_EQ(caps.wChannels, 2);
  EXPECT_EQ(waveInGetDevCapsA(1, &caps, sizeof caps), MMSYSERR_BADDEVICEID);

  const WAVEFORMATEX eightBit = Format(2, 44100, 8);
  EXPECT_EQ(waveInOpen(nullptr, 0, &eightBit, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
  EXPECT_EQ(waveInOpen(nullptr, 1, &eightBit, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_BADDEVICEID);
  WAVEFORMATEX odd = Format(2, 44100, 8);
  odd.wBitsPerSample = 12;
  EXPECT_EQ(waveInOpen(nullptr, 0, &odd, 0, 0, WAVE_FORMAT_QUERY), WAVERR_BADFORMAT);

  HWND window = MakeWindow();
  HWAVEIN device = nullptr;
  ASSERT_EQ(waveInOpen(&device, 0, &eightBit, reinterpret_cast<DWORD_PTR>(window), 0, CALLBACK_WINDOW),
            MMSYSERR_NOERROR);
  std::vector<char> memory[3] = {std::vector<char>(512), std::vector<char>(512), std::vector<char>(512)};
  WAVEHDR headers[3] = {};
  for (int i = 0; i < 3; ++i) {
    headers[i].lpData = memory[i].data();
    headers[i].dwBufferLength = 512;
    headers[i].dwUser = i;
    EXPECT_EQ(waveInAddBuffer(device, &headers[i], sizeof headers[i]), WAVERR_UNPREPARED);
    ASSERT_EQ(waveInPrepareHeader(device, &headers[i], sizeof headers[i]), MMSYSERR_NOERROR);
  }
  ASSERT_EQ(waveInAddBuffer(device, &headers[0], sizeof headers[0]), MMSYSERR_NOERROR);
  ASSERT_EQ(waveInAddBuffer(device, &headers[1], sizeof headers[1]), MMSYSERR_NOERROR);
  EXPECT_EQ(waveInUnprepareHeader(device, &headers[0], sizeof headers[0]), WAVERR_STILLPLAYING);
  ASSERT_EQ(waveInStart(device), MMSYSERR_NOERROR);

  ASSERT_TRUE(PumpUntil([&] { return Of(MM_WIM_DATA).size() == 2; }));
  ASSERT_EQ(Of(MM_WIM_OPEN).size(), 1u);
  const std::vector<Received> data = Of(MM_WIM_DATA);
  EXPECT_EQ(reinterpret_cast<WAVEHDR *>(data[0].lParam), &headers[0]);
  EXPECT_EQ(reinterpret_cast<WAVEHDR *>(data[1].lParam), &headers[1]);
  EXPECT_EQ(reinterpret_cast<HWAVEIN>(data[0].wParam), device);
  const std::vector<uint8_t> sound = RecordedSound();
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(headers[i].dwBytesRecorded, 512u);
    EXPECT_EQ(headers[i].dwFlags & (WHDR_DONE | WHDR_INQUEUE), DWORD{WHDR_DONE});
  }
  EXPECT_EQ(std::memcmp(memory[0].data(), sound.data(), 512), 0) << "the file's first bytes, first";
  EXPECT_EQ(std::memcmp(memory[1].data(), sound.data() + 512, 512), 0);

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
  TIMECAPS caps;
  ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
  EXPECT_LE(caps.wPeriodMin, 10u);
  EXPECT_EQ(timeBeginPeriod(10), TIMERR_NOERROR);

  static HWND target;
  static DWORD callerThread;
  static std::atomic<int> onOtherThread;
  target = MakeWindow();
  callerThread = GetCurrentThreadId();
  onOtherThread = 0;
  auto tick = [](UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    if (GetCurrentThreadId() != callerThread) ++onOtherThread;
    PostMessageA(target, WM_USER + 1, user, 0);
  };
  const UINT id = timeSetEvent(5, 5, tick, 42, TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  ASSERT_TRUE(PumpUntil([&] { return Of(WM_USER + 1).size() >= 3; }));
  EXPECT_EQ(Of(WM_USER + 1)[0].wParam, 42u);
  ASSERT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  const int fired = onOtherThread;
  EXPECT_GE(fired, 3);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(onOtherThread, fired) << "nothing runs after the kill";
  EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
}
