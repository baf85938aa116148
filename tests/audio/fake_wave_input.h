// A wave-input device and multimedia timer that a test drives by hand: it accepts the formats
// the test says, keeps the buffers handed to it, and returns them (filled as the test wants)
// with the same window notifications a real device posts.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "audio/sound_capture.h"

struct FakeWaveInput {
  std::function<bool(const WAVEFORMATEX &)> accepts = [](const WAVEFORMATEX &) { return true; };
  std::vector<WAVEFORMATEX> queried;  // every format asked about, in order
  std::vector<std::string> calls;     // "open", "start", "reset", "close", ...
  HWND notify = nullptr;
  bool open = false;
  std::deque<WAVEHDR *> queue;
  MMRESULT addResult = MMSYSERR_NOERROR;
  // A real device returns every queued buffer on reset; a test may return them one by one.
  bool resetReturnsBuffers = true;
  LPTIMECALLBACK timerCallback = nullptr;
  UINT timerDelay = 0;
};

extern FakeWaveInput fakeWaveInput;
extern const WaveInputCalls FAKE_WAVE_INPUT;

// A fresh fake device in place of the platform's.
void UseFakeWaveInput();
void UsePlatformWaveInput();
// One tick of the multimedia timer, on the calling thread.
void TickFakeTimer();
// The oldest queued buffer comes back with `bytes` recorded, filled by `fill`.
void ReturnFakeBuffer(DWORD bytes, const std::function<void(char *data, DWORD bytes)> &fill);
// A hidden top-level window of its own class with this procedure, for a test to talk to.
HWND OpenTestWindow(const char *className, WNDPROC procedure, int width, int height);
void CloseTestWindow(HWND window, const char *className);
// Dispatches what is waiting in this thread's queue.
void DispatchWaiting();
// Recorder opened and capture started on the fake device for the window; true when both worked.
bool StartFakeCapture(HWND window);
void EndFakeCapture();
