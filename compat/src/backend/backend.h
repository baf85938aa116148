// What the window layer needs from a window system: a clock, the screen, native windows with
// their input and presentation, the cursor, and other processes' windows. Windows are known by
// their handles; what a backend needs to know of one is handed to it.
#pragma once

#include <windows.h>

#include <cstdint>

namespace compat {

struct Surface;
struct ThreadQueue;

// A thread that found nothing to retrieve, waiting for its message queue.
class QueueWait {
 public:
  QueueWait(ThreadQueue &queue, uint64_t seenArrivals, bool withTimer, DWORD timerAt)
      : hasTimer(withTimer), nextTimer(timerAt), queue_(queue), seen_(seenArrivals) {}
  // Something was posted or sent since the thread last looked.
  bool Arrived() const;
  // Returns once something arrives, or after `milliseconds` (never, when negative).
  void Block(int64_t milliseconds) const;

  const bool hasTimer;
  const DWORD nextTimer;  // the due time of the thread's earliest timer, when hasTimer

 private:
  ThreadQueue &queue_;
  const uint64_t seen_;
};

// What a native window is made from.
struct NativeWindowDescription {
  HWND window = nullptr;
  const char *className = "";
  const char *title = "";
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // for a child, the window-system window it is drawn into
  int x = 0, y = 0;       // on the screen, or in the parent
  int width = 0, height = 0;
  // The pixels it shows; they stay until DestroyNative, resized with the window.
  Surface *surface = nullptr;
};

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

  // True when Pump has work now; called on every PeekMessageA with a CoarseNow() reading, so
  // it must be cheap.
  virtual bool PumpDue(DWORD coarseNow) = 0;
  // Turns window-system events into input reports and presents the surfaces of shown native
  // windows that changed.
  virtual void Pump() = 0;
  // Blocks until a message may be there: one arrived, a window-system event or a timer came.
  virtual void WaitForMessages(const QueueWait &wait) = 0;
  // Frames shown in window-system windows so far.
  virtual uint64_t PresentedFrames() { return 0; }

  // Native windows of top-level windows (and of children of window-system windows), hidden
  // until shown.
  virtual bool CreateNative(const NativeWindowDescription &description) = 0;
  virtual void DestroyNative(HWND window) = 0;
  virtual void ShowNative(HWND window, bool show) = 0;
  virtual void SetNativeTitle(HWND window, const char *title) = 0;
  virtual void RaiseNative(HWND window) = 0;

  virtual void SetCursorVisible(bool visible) = 0;
  virtual POINT CursorPos() = 0;
  virtual void SetCursorPos(int x, int y) = 0;

  // Windows of other processes, known by their window-system id.
  virtual HWND FindForeign(const char *className, const char *title) = 0;
  // False when there is no such window.
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
