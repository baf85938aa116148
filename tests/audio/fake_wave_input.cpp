#include "fake_wave_input.h"

FakeWaveInput fakeWaveInput;

namespace {

HWAVEIN FakeHandle() { return reinterpret_cast<HWAVEIN>(&fakeWaveInput); }

void Post(UINT message, LPARAM lParam) {
  PostMessageA(fakeWaveInput.notify, message, reinterpret_cast<WPARAM>(FakeHandle()), lParam);
}

MMRESULT WINAPI Open(LPHWAVEIN device, UINT, LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR,
                     DWORD flags) {
  if (flags & WAVE_FORMAT_QUERY) {
    fakeWaveInput.queried.push_back(*format);
    return fakeWaveInput.accepts(*format) ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
  }
  if (!fakeWaveInput.accepts(*format)) return WAVERR_BADFORMAT;
  fakeWaveInput.calls.push_back("open");
  fakeWaveInput.notify = reinterpret_cast<HWND>(callback);
  fakeWaveInput.open = true;
  *device = FakeHandle();
  Post(MM_WIM_OPEN, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Prepare(HWAVEIN, LPWAVEHDR header, UINT) {
  header->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Unprepare(HWAVEIN, LPWAVEHDR header, UINT) {
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Add(HWAVEIN, LPWAVEHDR header, UINT) {
  if (fakeWaveInput.addResult != MMSYSERR_NOERROR) return fakeWaveInput.addResult;
  fakeWaveInput.calls.push_back("add " + std::to_string(header->dwUser));
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  header->dwBytesRecorded = 0;
  fakeWaveInput.queue.push_back(header);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Start(HWAVEIN) {
  fakeWaveInput.calls.push_back("start");
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Reset(HWAVEIN) {
  fakeWaveInput.calls.push_back("reset");
  while (fakeWaveInput.resetReturnsBuffers && !fakeWaveInput.queue.empty())
    ReturnFakeBuffer(0, nullptr);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Close(HWAVEIN) {
  if (!fakeWaveInput.queue.empty()) return WAVERR_STILLPLAYING;
  fakeWaveInput.calls.push_back("close");
  fakeWaveInput.open = false;
  Post(MM_WIM_CLOSE, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI TimerCaps(LPTIMECAPS caps, UINT) {
  caps->wPeriodMin = 1;
  caps->wPeriodMax = 1000;
  return TIMERR_NOERROR;
}

MMRESULT WINAPI BeginPeriod(UINT) { return TIMERR_NOERROR; }

MMRESULT WINAPI SetEvent(UINT delay, UINT, LPTIMECALLBACK callback, DWORD_PTR, UINT) {
  fakeWaveInput.timerCallback = callback;
  fakeWaveInput.timerDelay = delay;
  return 1;
}

MMRESULT WINAPI KillEvent(UINT) {
  fakeWaveInput.calls.push_back("kill timer");
  fakeWaveInput.timerCallback = nullptr;
  return TIMERR_NOERROR;
}

}  // namespace

const WaveInputCalls FAKE_WAVE_INPUT = {Open,  Prepare,   Unprepare,   Add,      Start,    Reset,
                                        Close, TimerCaps, BeginPeriod, SetEvent, KillEvent};

void UseFakeWaveInput() {
  fakeWaveInput = FakeWaveInput();
  soundCapture.calls = &FAKE_WAVE_INPUT;
}

void UsePlatformWaveInput() { soundCapture.calls = &PLATFORM_WAVE_INPUT; }

void TickFakeTimer() {
  if (fakeWaveInput.timerCallback) fakeWaveInput.timerCallback(1, 0, 0, 0, 0);
}

void ReturnFakeBuffer(DWORD bytes, const std::function<void(char *, DWORD)> &fill) {
  WAVEHDR *header = fakeWaveInput.queue.front();
  fakeWaveInput.queue.pop_front();
  if (fill) fill(header->lpData, bytes);
  header->dwBytesRecorded = bytes;
  header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  Post(MM_WIM_DATA, reinterpret_cast<LPARAM>(header));
}

HWND OpenTestWindow(const char *className, WNDPROC procedure, int width, int height) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void CloseTestWindow(HWND window, const char *className) {
  DestroyWindow(window);
  UnregisterClassA(className, GetModuleHandleA(nullptr));
}

void DispatchWaiting() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

bool StartFakeCapture(HWND window) {
  UseFakeWaveInput();
  if (!OpenRecorder(GetModuleHandleA(nullptr))) return false;
  if (StartCapture(window)) return true;
  CloseRecorder(GetModuleHandleA(nullptr));
  return false;
}

void EndFakeCapture() {
  StopCapture();
  CloseRecorder(GetModuleHandleA(nullptr));
  DispatchWaiting();
}
