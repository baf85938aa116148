// Sound capture: two buffers cycling through a wave-input device, handed to it by a multimedia
// timer, returned to a hidden recorder window that analyses each one and sends the result to
// the animation window.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>

#include "audio/buffer_analysis.h"
#include "audio/level_report.h"
#include "settings/settings_store.h"

constexpr int FORMAT_TABLE_SIZE = 8;

// The platform's wave input and multimedia timer as capture calls them; a test may put a fake
// device in their place.
struct WaveInputCalls {
  decltype(&waveInOpen) open;
  decltype(&waveInPrepareHeader) prepareHeader;
  decltype(&waveInUnprepareHeader) unprepareHeader;
  decltype(&waveInAddBuffer) addBuffer;
  decltype(&waveInStart) start;
  decltype(&waveInReset) reset;
  decltype(&waveInClose) close;
  decltype(&timeGetDevCaps) timerCaps;
  decltype(&timeBeginPeriod) timerBeginPeriod;
  decltype(&timeSetEvent) setTimerEvent;
  decltype(&timeKillEvent) killTimerEvent;
};
extern const WaveInputCalls PLATFORM_WAVE_INPUT;

struct CaptureBuffer {
  HGLOBAL block = nullptr;
  char *data = nullptr;
  WAVEHDR header = {};
  // Set by the timer thread once the device has the buffer; cleared by the window thread as
  // its very last act on a returned buffer.
  std::atomic<bool> queued{false};
  // Set just before the hand-over, cleared when the device gives the buffer back.
  std::atomic<bool> inDriver{false};
};

struct SoundCapture {
  const WaveInputCalls *calls = &PLATFORM_WAVE_INPUT;
  CaptureFormat formatTable[FORMAT_TABLE_SIZE] = {
      {2, 22050, 16}, {2, 22050, 16}, {2, 44100, 8}, {2, 22050, 8},
      {2, 22050, 16}, {2, 22050, 16}, {2, 44100, 8}, {2, 22050, 8}};
  CaptureFormat chosen;
  uint32_t deviceNumber = 0;
  uint16_t framesPerBuffer = 256;
  uint16_t requeuePeriodMs = 0;
  int32_t windowTable[MAX_FRAMES_PER_BUFFER] = {};
  int16_t dcOffsets[2] = {0, 0};  // kept across restarts
  CaptureBuffer buffers[2];
  std::atomic<bool> stopping{false};
  bool closing = false;
  // The device refused a buffer because it is gone (a sound server's device removed).
  std::atomic<bool> deviceLost{false};

  bool classRegistered = false;
  char className[16] = "";
  bool deferredUnregister = false;
  HINSTANCE instance = nullptr;

  HWND recorder = nullptr;
  HWAVEIN device = nullptr;
  HWND receiver = nullptr;
  UINT timerId = 0;
  // OpenRecorder and StartCapture both succeeded and StopCapture has not been called since.
  bool running = false;
  LevelReport report;
};

extern SoundCapture soundCapture;

// The PCM descriptor the device is asked for.
WAVEFORMATEX PcmFormat(const CaptureFormat &entry);

// Entry 0 of the format table and the device come from the settings.
void ApplyCaptureSettings(const SettingsStore &settings);

bool OpenRecorder(HINSTANCE instance);
bool StartCapture(HWND animationWindow);
void StopCapture();
void CloseRecorder(HINSTANCE instance);
// The one answer to "is the saver listening?".
bool SoundCaptureRunning();
// While running: the device has gone away and takes no more buffers.
bool CaptureDeviceLost();

void CALLBACK RequeueBuffers(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
extern "C" LRESULT CALLBACK RecorderWndProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
// The data notification's work: analyse a returned buffer and report it, or finish a close.
void AnalyseBuffer(WAVEHDR *header);
