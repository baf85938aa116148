// What the window layer needs from a window system: a clock, the screen, native windows with
// their input and presentation, the cursor, and other processes' windows.
#pragma once

#include <windows.h>

namespace compat {

struct Window;
struct ThreadQueue;

class Backend {
 public:
  virtual ~Backend() = default;

  virtual DWORD Now() = 0;  // GetTickCount
  // A cheaper reading of the same clock for hot paths: never ahead of Now(), and behind it by
  // at most CoarseLag() ms.
  virtual DWORD CoarseNow() { return Now(); }
  virtual DWORD CoarseLag() { return 0; }
  virtual void Sleep(DWORD milliseconds) = 0;
  virtual void ScreenSize(int *width, int *height) = 0;

  // True when Pump has work now; called on every PeekMessageA, so it must be cheap.
  virtual bool PumpDue() = 0;
  // Turns window-system events into queued messages and presents changed surfaces.
  virtual void Pump() = 0;
  // Blocks the calling thread, which found nothing to retrieve, until a message may be there:
  // the queue's `arrivals` moved past `seenArrivals`, a window-system event or a timer came.
  // `nextTimer` is the due time of the thread's earliest timer when `hasTimer`.
  virtual void WaitForMessages(ThreadQueue &queue, uint64_t seenArrivals, bool hasTimer,
                               DWORD nextTimer) = 0;
  // Frames shown in window-system windows so far.
  virtual uint64_t PresentedFrames() { return 0; }

  // A window that needs one of its own (top-level, or child of a window-system window).
  virtual bool CreateNative(Window &window) = 0;
  virtual void DestroyNative(Window &window) = 0;
  virtual void ShowNative(Window &window, bool show) = 0;
  virtual void TitleChanged(Window &window) = 0;
  virtual void RaiseNative(Window &window) = 0;

  virtual void SetCursorVisible(bool visible) = 0;
  virtual POINT CursorPos() = 0;
  virtual void SetCursorPos(int x, int y) = 0;

  // Windows of other processes, known by their window-system id.
  virtual HWND FindForeign(const char *className, const char *title) = 0;
  virtual bool ForeignExists(HWND window) = 0;
  virtual bool ForeignClientSize(HWND window, int *width, int *height) = 0;
  virtual bool CloseForeign(HWND window) = 0;
  virtual bool ActivateForeign(HWND window) = 0;
  virtual HWND ForeignForeground() = 0;

  // The screen-saver-running flag, shared by the processes of one session.
  virtual bool SaverRunning() = 0;
  virtual void SetSaverRunning(bool on) = 0;
};

// The backend of this process: headless when a test or LUMIVANE_BACKEND=headless chose it,
// SDL2 otherwise.
Backend &ActiveBackend();
Backend *MakeHeadlessBackend();
Backend *MakeSdlBackend();

}  // namespace compat
