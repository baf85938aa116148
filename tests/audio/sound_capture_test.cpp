#include "audio/sound_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_wave_input.h"

namespace {

constexpr char RECEIVER_CLASS[] = "LumivaneCaptureTestReceiver";
std::vector<LevelReport> received;

LRESULT CALLBACK Receiver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SOUNDLEVEL) {
    received.push_back(*reinterpret_cast<const LevelReport *>(lParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The animation window's stand-in: it keeps every report sent to it.
class SoundCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    received.clear();
    receiver = OpenTestWindow(RECEIVER_CLASS, Receiver, 10, 10);
    ASSERT_NE(receiver, nullptr);
    ApplyCaptureSettings(SettingsStore());
    UseFakeWaveInput();
  }
  void TearDown() override {
    if (SoundCaptureRunning()) EndFakeCapture();
    DispatchWaiting();
    CloseTestWindow(receiver, RECEIVER_CLASS);
    UsePlatformWaveInput();
  }
  static void Loud(char *data, DWORD bytes) {
    auto *samples = reinterpret_cast<int16_t *>(data);
    for (DWORD i = 0; i < bytes / 2; ++i) samples[i] = (i / 2 >> 2) & 1 ? 30000 : -30000;
  }
  HWND receiver = nullptr;
};

bool RecorderClassRegistered() {
  WNDCLASSA info;
  return GetClassInfoA(GetModuleHandleA(nullptr), soundCapture.className, &info) != 0;
}

}  // namespace

TEST_F(SoundCaptureTest, ProbeSettlesOnTheFirstFormatTheDeviceAccepts) {
  fakeWaveInput.accepts = [](const WAVEFORMATEX &f) {
    return f.nChannels == 2 && f.nSamplesPerSec == 44100 && f.wBitsPerSample == 8;
  };
  ASSERT_TRUE(OpenRecorder(GetModuleHandleA(nullptr)));
  ASSERT_EQ(fakeWaveInput.queried.size(), 3u) << "entries 0 and 1 refused, entry 2 taken";
  const WAVEFORMATEX &asked = fakeWaveInput.queried[2];
  EXPECT_EQ(asked.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(asked.nAvgBytesPerSec, 88200u);
  EXPECT_EQ(asked.nBlockAlign, 2);
  EXPECT_EQ(asked.cbSize, 0);
  EXPECT_EQ(soundCapture.framesPerBuffer, 256);
  EXPECT_TRUE(fakeWaveInput.calls.empty()) << "the probe opens nothing";
  EXPECT_TRUE(RecorderClassRegistered());

  ASSERT_TRUE(StartCapture(receiver));
  EXPECT_TRUE(SoundCaptureRunning());
  EXPECT_EQ(fakeWaveInput.timerDelay, 10u);
  EXPECT_TRUE(fakeWaveInput.queue.empty()) << "the first timer tick hands the buffers over";
  HWND recorder = FindWindowA(soundCapture.className, "Recording");
  ASSERT_NE(recorder, nullptr);
  EXPECT_FALSE(IsWindowVisible(recorder));
  EXPECT_EQ(soundCapture.buffers[0].header.dwBufferLength, 512u);
  EndFakeCapture();
  EXPECT_FALSE(SoundCaptureRunning());
  EXPECT_FALSE(IsWindow(recorder));
  EXPECT_FALSE(RecorderClassRegistered());

  // The first entry a device that takes all is given, sixteen bits at 22050 Hz: 512 frames and
  // 51 ms.
  ASSERT_TRUE(StartFakeCapture(receiver));
  EXPECT_EQ(soundCapture.framesPerBuffer, 512);
  EXPECT_EQ(soundCapture.buffers[0].header.dwBufferLength, 2048u);
  EXPECT_EQ(fakeWaveInput.timerDelay, 51u);
  EndFakeCapture();
  // A device that takes none of the eight is the driver's test: it retries.
}

TEST_F(SoundCaptureTest, BuffersCycleThroughTheDeviceAndEachFullOneIsReported) {
  ASSERT_TRUE(StartFakeCapture(receiver));
  TickFakeTimer();
  EXPECT_EQ(fakeWaveInput.calls,
            (std::vector<std::string>{"open", "start", "add 0", "start", "add 1", "start"}));
  TickFakeTimer();
  EXPECT_EQ(fakeWaveInput.queue.size(), 2u) << "queued buffers are not handed over twice";

  const DWORD full = soundCapture.buffers[0].header.dwBufferLength;
  ReturnFakeBuffer(full, Loud);
  DispatchWaiting();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_GT(received[0].level, 50000);
  EXPECT_GE(received[0].shares[2], 115);
  EXPECT_FALSE(soundCapture.buffers[0].queued);
  EXPECT_TRUE(soundCapture.buffers[1].queued);
  fakeWaveInput.calls.clear();
  TickFakeTimer();
  EXPECT_EQ(fakeWaveInput.calls, (std::vector<std::string>{"add 0", "start"}));

  // A buffer that comes back empty is handed back without a report.
  ReturnFakeBuffer(0, nullptr);
  DispatchWaiting();
  EXPECT_EQ(received.size(), 1u);
  EXPECT_FALSE(soundCapture.buffers[1].queued);
  EXPECT_EQ(soundCapture.buffers[1].header.dwFlags & WHDR_PREPARED, 0u) << "unprepared on return";
}

TEST_F(SoundCaptureTest, StopWithBothBuffersInTheDeviceClosesWhenTheSecondIsBack) {
  ASSERT_TRUE(StartFakeCapture(receiver));
  TickFakeTimer();
  fakeWaveInput.resetReturnsBuffers = false;
  fakeWaveInput.calls.clear();
  HWND recorder = soundCapture.recorder;

  StopCapture();
  EXPECT_EQ(fakeWaveInput.calls, (std::vector<std::string>{"kill timer", "reset"}));
  EXPECT_FALSE(SoundCaptureRunning());
  TickFakeTimer();  // a tick that was already under way hands nothing more over
  EXPECT_EQ(fakeWaveInput.queue.size(), 2u);
  CloseRecorder(GetModuleHandleA(nullptr));
  EXPECT_TRUE(RecorderClassRegistered()) << "the recorder window still exists";

  ReturnFakeBuffer(soundCapture.buffers[0].header.dwBufferLength, Loud);
  DispatchWaiting();
  EXPECT_EQ(fakeWaveInput.calls.back(), "reset") << "one buffer is still in the device";
  EXPECT_TRUE(IsWindow(recorder));
  ReturnFakeBuffer(soundCapture.buffers[1].header.dwBufferLength, Loud);
  DispatchWaiting();
  EXPECT_EQ(fakeWaveInput.calls.back(), "close");
  EXPECT_TRUE(received.empty()) << "no report for either";
  EXPECT_FALSE(IsWindow(recorder));
  EXPECT_FALSE(RecorderClassRegistered()) << "unregistered once the window had gone";
  EXPECT_EQ(soundCapture.device, nullptr);
  // Without buffers in the device the close is at once: the probe and refusal tests.
}

TEST_F(SoundCaptureTest, RefusedBuffersStayWithTheTimerAndAVanishedDeviceIsNoticed) {
  ASSERT_TRUE(StartFakeCapture(receiver));
  fakeWaveInput.addResult = MMSYSERR_NOMEM;
  TickFakeTimer();
  EXPECT_FALSE(soundCapture.buffers[0].inDriver);
  EXPECT_FALSE(soundCapture.buffers[0].queued);
  EXPECT_FALSE(CaptureDeviceLost()) << "a passing refusal is retried on the next tick";
  fakeWaveInput.addResult = MMSYSERR_NOERROR;
  TickFakeTimer();
  EXPECT_EQ(fakeWaveInput.queue.size(), 2u);

  ReturnFakeBuffer(0, nullptr);
  ReturnFakeBuffer(0, nullptr);
  DispatchWaiting();
  fakeWaveInput.addResult = MMSYSERR_NODRIVER;
  TickFakeTimer();
  EXPECT_TRUE(CaptureDeviceLost());
  fakeWaveInput.calls.clear();
  // Nothing is left in the device, so stopping closes it at once instead of waiting forever.
  EndFakeCapture();
  EXPECT_EQ(fakeWaveInput.calls, (std::vector<std::string>{"kill timer", "close"}));
  EXPECT_FALSE(CaptureDeviceLost());
}
