#include "window/input.h"

#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "window/activation.h"
#include "window/cursor_state.h"
#include "window/keyboard.h"
#include "window/message_queue.h"
#include "window/window_table.h"

namespace compat {

namespace {

// The Windows default.
constexpr DWORD DOUBLE_CLICK_MS = 500;

struct LastPress {
  UINT message = 0;  // 0: none that a next press could pair with
  HWND window = nullptr;
  DWORD time = 0;
  POINT at{0, 0};
};

std::mutex pressGuard;
LastPress lastPress;

bool Contains(HWND handle, POINT at) {
  RECT r;
  return GetWindowRect(handle, &r) && at.x >= r.left && at.x < r.right && at.y >= r.top &&
         at.y < r.bottom;
}

bool Hittable(const Window &w) { return !w.destroying && IsWindowVisible(w.handle); }

// A top-level window: not a child, or the child of another program's window.
bool TopLevel(const Window &w) { return !(w.style & WS_CHILD) || !IsLocalHandle(w.parent); }

// The window that gets the mouse at a screen point: the deepest visible child under it,
// newest on top. A disabled child passes the mouse to its parent; a disabled top-level
// window gets none.
HWND WindowUnder(POINT at, HWND top) {
  const std::vector<Window *> all = AllWindows();
  if (top == nullptr) {
    for (auto it = all.rbegin(); it != all.rend() && top == nullptr; ++it)
      if (TopLevel(**it) && Hittable(**it) && Contains((*it)->handle, at)) top = (*it)->handle;
  }
  if (top == nullptr || !IsWindowEnabled(top)) return nullptr;
  for (HWND parent = top;;) {
    HWND next = nullptr;
    for (auto it = all.rbegin(); it != all.rend() && next == nullptr; ++it) {
      const Window &w = **it;
      if ((w.style & WS_CHILD) && w.parent == parent && Hittable(w) && !(w.style & WS_DISABLED) &&
          Contains(w.handle, at))
        next = w.handle;
    }
    if (next == nullptr) return parent;
    parent = next;
  }
}

// The focus, or the active window when nothing has the focus.
HWND KeyTarget() {
  const HWND focus = FocusHandle();
  return focus != nullptr ? focus : ForegroundHandle();
}

WPARAM KeyFlags() {
  WPARAM flags = 0;
  if (AsyncKeyState(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (AsyncKeyState(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (AsyncKeyState(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (AsyncKeyState(VK_SHIFT)) flags |= MK_SHIFT;
  if (AsyncKeyState(VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

void Queue(MSG msg, POINT at) {
  if (msg.hwnd == nullptr) return;
  msg.pt = at;
  msg.time = GetTickCount();
  std::shared_ptr<ThreadQueue> queue = QueueOfThread(WindowThread(msg.hwnd));
  if (queue) PostInput(*queue, msg);
}

MSG MouseMessage(UINT message, POINT at, HWND over) {
  MSG msg{};
  msg.hwnd = CaptureHandle() != nullptr ? CaptureHandle() : WindowUnder(at, over);
  msg.message = message;
  msg.wParam = KeyFlags();
  POINT local = at;
  if (msg.hwnd != nullptr) ScreenToClient(msg.hwnd, &local);
  msg.lParam = MAKELPARAM(local.x, local.y);
  return msg;
}

bool WantsDoubleClicks(HWND handle) {
  const Window *window = FindLocalWindow(handle);
  return window != nullptr && (window->windowClass.style & CS_DBLCLKS);
}

// WM_xBUTTONDOWN, or WM_xBUTTONDBLCLK when it pairs with the press before.
UINT PressMessage(UINT down, HWND target, POINT at) {
  const DWORD now = GetTickCount();
  std::lock_guard<std::mutex> lock(pressGuard);
  const bool pairs = lastPress.message == down && lastPress.window == target &&
                     WithinDoubleClick(lastPress.time, lastPress.at, now, at) &&
                     WantsDoubleClicks(target);
  if (pairs) {
    lastPress = LastPress{};
    return down + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
  }
  lastPress = LastPress{down, target, now, at};
  return down;
}

}  // namespace

void ReportPointerMove(POINT at, HWND over) { Queue(MouseMessage(WM_MOUSEMOVE, at, over), at); }

void ReportButton(MouseButton button, bool down, POINT at, HWND over) {
  UINT pressed = WM_LBUTTONDOWN;
  UINT key = VK_LBUTTON;
  if (button == MouseButton::Right) pressed = WM_RBUTTONDOWN, key = VK_RBUTTON;
  if (button == MouseButton::Middle) pressed = WM_MBUTTONDOWN, key = VK_MBUTTON;
  // The button's own state counts in the message's flags only while it is down.
  KeyMessageForEvent(key, down);
  MSG msg = MouseMessage(down ? pressed : pressed + 1, at, over);
  if (down && msg.hwnd != nullptr) msg.message = PressMessage(pressed, msg.hwnd, at);
  Queue(msg, at);
}

void ReportWheel(int delta, POINT at) {
  // The wheel turns what has the keyboard; its position stays in screen coordinates.
  MSG msg{};
  msg.hwnd = KeyTarget();
  msg.message = WM_MOUSEWHEEL;
  msg.wParam = MAKEWPARAM(KeyFlags(), static_cast<WORD>(delta));
  msg.lParam = MAKELPARAM(at.x, at.y);
  Queue(msg, at);
}

void ReportKey(UINT virtualKey, bool down) {
  const bool wasDown = AsyncKeyState(static_cast<int>(virtualKey)) != 0;
  MSG msg{};
  msg.message = KeyMessageForEvent(virtualKey, down);
  msg.hwnd = KeyTarget();
  // The active window without a focus sees every key as a system key.
  if (FocusHandle() == nullptr) msg.message = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
  msg.wParam = virtualKey;
  msg.lParam = KeyMessageLParam(virtualKey, down, down && wasDown);
  POINT at{0, 0};
  GetCursorPos(&at);
  Queue(msg, at);
}

void ReportFocus(HWND window) {
  if (ForegroundHandle() != window) ActivateWindow(window);
}

bool WithinDoubleClick(DWORD firstTime, POINT first, DWORD time, POINT at) {
  return time - firstTime <= DOUBLE_CLICK_MS &&
         std::abs(at.x - first.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
         std::abs(at.y - first.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
}

void ResetWindowLayer() {
  ClearWindowTable();
  ClearAllQueues();
  ResetActivation();
  ResetKeyState();
  ResetCursor();
  std::lock_guard<std::mutex> lock(pressGuard);
  lastPress = LastPress{};
}

}  // namespace compat
