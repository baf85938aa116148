#include "audio/sound_capture.h"

#include <algorithm>
#include <cstdio>

SoundCapture soundCapture;

const WaveInputCalls PLATFORM_WAVE_INPUT = {
    waveInOpen,      waveInPrepareHeader, waveInUnprepareHeader, waveInAddBuffer,
    waveInStart,     waveInReset,         waveInClose,           timeGetDevCaps,
    timeBeginPeriod, timeSetEvent,        timeKillEvent};

namespace {

constexpr UINT RECORDER_CLASS_STYLE = CS_VREDRAW | CS_BYTEALIGNWINDOW;
constexpr char RECORDER_TITLE[] = "Recording";
constexpr int RECORDER_WIDTH = 70;
constexpr int RECORDER_HEIGHT = 20;
constexpr UINT FINEST_TIMER_RESOLUTION_MS = 10;


bool FailedResult(MMRESULT result) { return LOWORD(result) != 0; }

void ReleaseBuffers() {
  for (CaptureBuffer &buffer : soundCapture.buffers) {
    if (buffer.data) GlobalUnlock(buffer.block);
    if (buffer.block) GlobalFree(buffer.block);
    buffer.block = nullptr;
    buffer.data = nullptr;
  }
}

// A recorder without buffers still counts as created: it simply never hears anything.
void AllocateBuffers() {
  if (soundCapture.buffers[0].data) return;
  const CaptureFormat &format = soundCapture.chosen;
  const DWORD bytes = DWORD{soundCapture.framesPerBuffer} * (format.bitsPerSample / 8) * format.channels;
  for (CaptureBuffer &buffer : soundCapture.buffers) {
    buffer.block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes);
    buffer.data = buffer.block ? static_cast<char *>(GlobalLock(buffer.block)) : nullptr;
    if (!buffer.data) {
      ReleaseBuffers();
      return;
    }
  }
  for (DWORD_PTR tag = 0; tag < 2; ++tag) {
    WAVEHDR &header = soundCapture.buffers[tag].header;
    header = WAVEHDR{};
    header.lpData = soundCapture.buffers[tag].data;
    header.dwBufferLength = bytes;
    header.dwUser = tag;
    // New buffers belong to the timer, whatever a previous recorder's close left behind.
    soundCapture.buffers[tag].queued = false;
    soundCapture.buffers[tag].inDriver = false;
  }
}

void StartTimer() {
  const WaveInputCalls &calls = *soundCapture.calls;
  TIMECAPS caps = {};
  soundCapture.timerId = 0;
  if (calls.timerCaps(&caps, sizeof caps) != TIMERR_NOERROR) return;
  const UINT resolution =
      std::min(std::max<UINT>(caps.wPeriodMin, FINEST_TIMER_RESOLUTION_MS), caps.wPeriodMax);
  calls.timerBeginPeriod(resolution);
  soundCapture.timerId = calls.setTimerEvent(soundCapture.requeuePeriodMs, resolution,
                                             RequeueBuffers, 0, TIME_PERIODIC);
}

void StopRequeueTimer() {
  if (soundCapture.timerId == 0) return;
  soundCapture.calls->killTimerEvent(soundCapture.timerId);
  soundCapture.timerId = 0;
}

bool AnyBufferInDriver() {
  return soundCapture.buffers[0].inDriver || soundCapture.buffers[1].inDriver;
}

CaptureBuffer *BufferOf(const WAVEHDR *header) {
  return header && header->dwUser < 2 ? &soundCapture.buffers[header->dwUser] : nullptr;
}

}  // namespace

WAVEFORMATEX PcmFormat(const CaptureFormat &entry) {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = entry.channels;
  format.nSamplesPerSec = entry.samplesPerSecond;
  format.wBitsPerSample = entry.bitsPerSample;
  format.nAvgBytesPerSec = entry.samplesPerSecond * entry.bitsPerSample * entry.channels / 8;
  format.nBlockAlign = static_cast<WORD>(entry.bitsPerSample * entry.channels / 8);
  format.cbSize = 0;
  return format;
}

void ApplyCaptureSettings(const SettingsStore &settings) {
  soundCapture.formatTable[0] = {static_cast<uint16_t>(settings.AudioChannels),
                                 static_cast<uint32_t>(settings.AudioSampleRate),
                                 static_cast<uint16_t>(settings.AudioBitsPerSample)};
  soundCapture.deviceNumber = static_cast<uint32_t>(settings.RecordingDevice);
}

bool OpenRecorder(HINSTANCE instance) {
  bool accepted = false;
  for (const CaptureFormat &entry : soundCapture.formatTable) {
    const WAVEFORMATEX format = PcmFormat(entry);
    if (soundCapture.calls->open(nullptr, soundCapture.deviceNumber, &format, 0, 0,
                                 WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR) {
      soundCapture.chosen = entry;
      accepted = true;
      break;
    }
  }
  if (accepted) soundCapture.framesPerBuffer = FramesPerBufferFor(soundCapture.chosen);
  if (!accepted) return false;

  soundCapture.deferredUnregister = false;
  soundCapture.instance = instance;
  std::snprintf(soundCapture.className, sizeof soundCapture.className, "RWin%08X",
                static_cast<unsigned>(GetTickCount()));
  WNDCLASSA recorderClass = {};
  recorderClass.style = RECORDER_CLASS_STYLE;
  recorderClass.lpfnWndProc = RecorderWndProc;
  recorderClass.hInstance = instance;
  recorderClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  recorderClass.lpszClassName = soundCapture.className;
  if (!RegisterClassA(&recorderClass)) return false;
  soundCapture.classRegistered = true;
  return true;
}

bool StartCapture(HWND animationWindow) {
  if (!soundCapture.classRegistered) return false;
  FillWindowTable(soundCapture.windowTable, soundCapture.framesPerBuffer);
  soundCapture.closing = false;
  soundCapture.deviceLost = false;
  soundCapture.receiver = animationWindow;

  soundCapture.recorder =
      CreateWindowExA(0, soundCapture.className, RECORDER_TITLE, WS_CLIPCHILDREN, CW_USEDEFAULT,
                      CW_USEDEFAULT, RECORDER_WIDTH, RECORDER_HEIGHT, nullptr, nullptr,
                      soundCapture.instance, nullptr);
  if (!soundCapture.recorder) return false;

  const WaveInputCalls &calls = *soundCapture.calls;
  const WAVEFORMATEX format = PcmFormat(soundCapture.chosen);
  HWAVEIN device = nullptr;
  if (calls.open(&device, soundCapture.deviceNumber, &format,
                 reinterpret_cast<DWORD_PTR>(soundCapture.recorder), 0,
                 CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
    DestroyWindow(soundCapture.recorder);
    soundCapture.recorder = nullptr;
    return false;
  }
  soundCapture.device = device;

  soundCapture.stopping = false;
  const CaptureFormat &chosen = soundCapture.chosen;
  soundCapture.requeuePeriodMs = static_cast<uint16_t>(
      uint32_t{chosen.bitsPerSample} * soundCapture.framesPerBuffer * 125 / chosen.samplesPerSecond + 5);

  if (calls.start(device) != MMSYSERR_NOERROR) {
    calls.reset(device);
    calls.close(device);
    soundCapture.device = nullptr;
    return false;
  }
  StartTimer();
  soundCapture.running = true;
  return true;
}

void CALLBACK RequeueBuffers(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  if (soundCapture.stopping) return;
  const WaveInputCalls &calls = *soundCapture.calls;
  for (DWORD_PTR tag = 0; tag < 2; ++tag) {
    CaptureBuffer &buffer = soundCapture.buffers[tag];
    if (buffer.queued || !buffer.data) continue;
    buffer.header.dwUser = tag;
    if (calls.prepareHeader(soundCapture.device, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR)
      return;
    buffer.inDriver = true;
    const MMRESULT added = calls.addBuffer(soundCapture.device, &buffer.header, sizeof buffer.header);
    if (FailedResult(added)) {
      // Not handed over after all: the buffer stays the timer's for the next tick.
      calls.unprepareHeader(soundCapture.device, &buffer.header, sizeof buffer.header);
      buffer.inDriver = false;
      if (LOWORD(added) == MMSYSERR_NODRIVER) soundCapture.deviceLost = true;
      return;
    }
    calls.start(soundCapture.device);
    buffer.queued = true;
  }
}

void AnalyseBuffer(WAVEHDR *header) {
  CaptureBuffer *buffer = BufferOf(header);
  if (!buffer) return;
  soundCapture.calls->unprepareHeader(soundCapture.device, header, sizeof *header);
  buffer->inDriver = false;

  if (soundCapture.closing) {
    if (!AnyBufferInDriver()) {
      soundCapture.closing = false;
      soundCapture.calls->close(soundCapture.device);
    }
    return;
  }

  const bool analysed = AnalyseSamples(reinterpret_cast<const uint8_t *>(header->lpData),
                                       header->dwBytesRecorded, soundCapture.chosen,
                                       soundCapture.windowTable, soundCapture.framesPerBuffer,
                                       soundCapture.dcOffsets, soundCapture.report);
  buffer->queued = false;
  // An empty buffer (a device reset or stopped early) goes back without a report: it holds
  // no frame to measure.
  if (!analysed) return;
  SendMessageA(soundCapture.receiver, WM_SOUNDLEVEL, 0,
               reinterpret_cast<LPARAM>(&soundCapture.report));
}

LRESULT CALLBACK RecorderWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      AllocateBuffers();
      return 0;
    case WM_DESTROY:
      ReleaseBuffers();
      return 0;
    case MM_WIM_OPEN:
      return 0;
    case MM_WIM_CLOSE:
      DestroyWindow(window);
      if (soundCapture.recorder == window) soundCapture.recorder = nullptr;
      if (soundCapture.deferredUnregister)
        UnregisterClassA(soundCapture.className, soundCapture.instance);
      if (soundCapture.device == reinterpret_cast<HWAVEIN>(wParam)) soundCapture.device = nullptr;
      return 0;
    case MM_WIM_DATA:
      if (soundCapture.device) AnalyseBuffer(reinterpret_cast<WAVEHDR *>(lParam));
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void StopCapture() {
  soundCapture.stopping = true;
  soundCapture.running = false;
  StopRequeueTimer();
  if (!soundCapture.device) return;
  if (AnyBufferInDriver()) {
    soundCapture.closing = true;
    soundCapture.calls->reset(soundCapture.device);
  } else {
    soundCapture.calls->close(soundCapture.device);
  }
}

void CloseRecorder(HINSTANCE instance) {
  if (!soundCapture.classRegistered) return;
  StopRequeueTimer();
  soundCapture.stopping = true;
  if (FindWindowA(soundCapture.className, nullptr)) {
    soundCapture.deferredUnregister = true;
    soundCapture.instance = instance;
  } else {
    UnregisterClassA(soundCapture.className, instance);
  }
}

bool SoundCaptureRunning() { return soundCapture.running; }

bool CaptureDeviceLost() { return soundCapture.running && soundCapture.deviceLost; }
