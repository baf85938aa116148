// Foreground, focus and capture, and finding top-level windows by class and title.
#include "window/activation.h"

#include <atomic>

#include "backend/backend.h"
#include "window/native_windows.h"
#include "window/window_table.h"

namespace compat {

namespace {

std::atomic<HWND> foreground{nullptr};
std::atomic<HWND> focus{nullptr};
std::atomic<HWND> capture{nullptr};

HWND TopLevelOf(HWND handle) {
  for (int depth = 0; depth < 64; ++depth) {
    Window *window = FindLocalWindow(handle);
    if (window == nullptr || !(window->style & WS_CHILD) || !IsLocalHandle(window->parent))
      return handle;
    handle = window->parent;
  }
  return handle;
}

}  // namespace

HWND ForegroundHandle() { return foreground.load(); }
HWND FocusHandle() { return focus.load(); }
HWND CaptureHandle() { return capture.load(); }

void ActivateWindow(HWND handle) {
  const HWND previous = foreground.exchange(handle);
  if (previous == handle) return;
  if (previous != nullptr && IsWindow(previous))
    SendMessageA(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
  // DefWindowProcA gives the focus to the window that became active.
  SendMessageA(handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
}

void ForgetActivation(HWND handle) {
  HWND expected = handle;
  if (focus.compare_exchange_strong(expected, nullptr)) SendMessageA(handle, WM_KILLFOCUS, 0, 0);
  expected = handle;
  if (foreground.compare_exchange_strong(expected, nullptr))
    SendMessageA(handle, WM_ACTIVATE, WA_INACTIVE, 0);
  expected = handle;
  capture.compare_exchange_strong(expected, nullptr);
}

void ResetActivation() {
  foreground = nullptr;
  focus = nullptr;
  capture = nullptr;
}

}  // namespace compat

using namespace compat;

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
  if (className != nullptr && IS_INTRESOURCE(className)) return nullptr;
  const HWND local = FindTopLevel(className, windowName);
  return local != nullptr ? local : ActiveBackend().FindForeign(className, windowName);
}

BOOL SetForegroundWindow(HWND handle) {
  if (!IsLocalHandle(handle)) return ActiveBackend().ActivateForeign(handle) ? TRUE : FALSE;
  const HWND top = TopLevelOf(handle);
  Window *window = FindLocalWindow(top);
  if (window == nullptr) return FALSE;
  ActivateWindow(top);
  RaiseNative(*window);
  return TRUE;
}

HWND GetForegroundWindow() {
  const HWND local = foreground.load();
  return local != nullptr ? local : ActiveBackend().ForeignForeground();
}

HWND SetFocus(HWND handle) {
  if (handle != nullptr && FindLocalWindow(handle) == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  const HWND previous = focus.exchange(handle);
  if (previous == handle) return previous;
  if (previous != nullptr && IsWindow(previous))
    SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
  if (handle != nullptr)
    SendMessageA(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

HWND GetFocus() { return focus.load(); }

HWND SetCapture(HWND handle) {
  if (FindLocalWindow(handle) == nullptr) return nullptr;
  return capture.exchange(handle);
}

BOOL ReleaseCapture() {
  capture = nullptr;
  return TRUE;
}

HWND GetCapture() { return capture.load(); }
