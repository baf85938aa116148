// The headless backend: no display, a virtual clock, scripted input, read-back of the pixels.
#include <algorithm>
#include <atomic>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <thread>

#include "backend/backend.h"
#include "compat/testing.h"
#include "window/activation.h"
#include "window/cursor_state.h"
#include "window/keyboard.h"
#include "window/message_queue.h"
#include "window/modules.h"
#include "window/window_surface.h"
#include "window/window_table.h"

namespace compat {

namespace {

constexpr uint64_t NEVER = std::numeric_limits<uint64_t>::max();
// Far from zero so that differences before the start stay positive.
constexpr uint64_t CLOCK_START = 100000;

class HeadlessBackend;
HeadlessBackend *instance = nullptr;

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend() { instance = this; }

  // ---- Clock ----
  DWORD Now() override { return static_cast<DWORD>(clock_.load()); }
  void Sleep(DWORD milliseconds) override {
    if (milliseconds == 0) std::this_thread::yield();
    clock_ += milliseconds;
  }
  void Advance(DWORD milliseconds) { clock_ += milliseconds; }
  // A 32-bit time near the clock, as a position on the 64-bit clock.
  uint64_t Expand(DWORD at) {
    const uint64_t now = clock_.load();
    const int32_t ahead = static_cast<int32_t>(at - static_cast<DWORD>(now));
    return ahead < 0 && static_cast<uint64_t>(-static_cast<int64_t>(ahead)) > now ? 0 : now + ahead;
  }

  void ScreenSize(int *width, int *height) override {
    *width = screenWidth_;
    *height = screenHeight_;
  }
  void SetScreenSize(int width, int height) {
    screenWidth_ = width;
    screenHeight_ = height;
  }

  // ---- Script ----
  void Schedule(DWORD at, std::function<void()> action) {
    std::lock_guard<std::mutex> lock(scriptGuard_);
    script_.emplace(std::make_pair(Expand(at), nextSequence_++), std::move(action));
    nextEvent_ = script_.begin()->first.first;
  }
  void SetDeadline(DWORD at) {
    deadline_ = Expand(at);
    deadlineReached_ = false;
  }
  bool DeadlineReached() const { return deadlineReached_; }

  bool PumpDue() override {
    const uint64_t now = clock_.load(std::memory_order_relaxed);
    return nextEvent_.load(std::memory_order_relaxed) <= now ||
           (deadline_.load(std::memory_order_relaxed) <= now && !deadlineReached_);
  }

  void Pump() override {
    for (;;) {
      std::function<void()> action;
      {
        std::lock_guard<std::mutex> lock(scriptGuard_);
        if (script_.empty() || script_.begin()->first.first > clock_.load()) break;
        action = std::move(script_.begin()->second);
        script_.erase(script_.begin());
        nextEvent_ = script_.empty() ? NEVER : script_.begin()->first.first;
      }
      action();
    }
    if (deadline_.load() <= clock_.load() && !deadlineReached_) {
      deadlineReached_ = true;
      PostQuitMessage(0);
    }
  }

  void WaitForMessages(ThreadQueue &queue, uint64_t seenArrivals, bool hasTimer,
                       DWORD nextTimer) override {
    const uint64_t now = clock_.load();
    uint64_t next = NEVER;
    if (hasTimer) next = std::min(next, Expand(nextTimer));
    next = std::min(next, nextEvent_.load());
    if (!deadlineReached_) next = std::min(next, deadline_.load());
    std::unique_lock<std::mutex> lock(queue.guard);
    if (queue.arrivals != seenArrivals) return;
    if (next != NEVER && next > now) {
      // Nothing to do until then: time jumps there.
      clock_ = next;
      return;
    }
    // Only another thread can bring something now.
    queue.arrived.wait(lock, [&] { return queue.arrivals != seenArrivals; });
  }

  // ---- Windows ----
  bool CreateNative(Window &) override { return true; }
  void DestroyNative(Window &) override {}
  void ShowNative(Window &, bool) override {}
  void TitleChanged(Window &) override {}
  void RaiseNative(Window &) override {}

  // ---- Cursor and input ----
  void SetCursorVisible(bool) override {}
  POINT CursorPos() override {
    std::lock_guard<std::mutex> lock(inputGuard_);
    return cursor_;
  }
  void SetCursorPos(int x, int y) override {
    std::lock_guard<std::mutex> lock(inputGuard_);
    cursor_ = POINT{x, y};
  }

  void DeliverKey(UINT key, bool down) {
    HWND target = FocusHandle();
    if (target == nullptr) target = ForegroundHandle();
    const UINT message = KeyMessageForEvent(key, down);
    if (target == nullptr) return;
    MSG msg{};
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = key;
    msg.lParam = KeyMessageLParam(key, down, false);
    Queue(msg);
  }

  void DeliverMouse(UINT message, WPARAM extra, int x, int y, bool moves) {
    POINT at;
    {
      std::lock_guard<std::mutex> lock(inputGuard_);
      if (moves) cursor_ = POINT{x, y};
      at = cursor_;
    }
    const bool wheel = message == WM_MOUSEWHEEL;
    HWND target = CaptureHandle();
    if (target == nullptr) target = wheel ? FocusHandle() : WindowAt(at);
    if (target == nullptr) return;
    POINT local = at;
    ScreenToClient(target, &local);
    MSG msg{};
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = extra | ButtonFlags();
    msg.lParam = wheel ? MAKELPARAM(at.x, at.y) : MAKELPARAM(local.x, local.y);
    msg.pt = at;
    Queue(msg);
  }

  // ---- Other processes' windows: there are none without a display ----
  HWND FindForeign(const char *, const char *) override { return nullptr; }
  bool ForeignExists(HWND) override { return false; }
  bool ForeignClientSize(HWND, int *, int *) override { return false; }
  bool CloseForeign(HWND) override { return false; }
  bool ActivateForeign(HWND) override { return false; }
  HWND ForeignForeground() override { return nullptr; }

  bool SaverRunning() override { return saverRunning_; }
  void SetSaverRunning(bool on) override { saverRunning_ = on; }

  void Reset() {
    {
      std::lock_guard<std::mutex> lock(scriptGuard_);
      script_.clear();
      nextEvent_ = NEVER;
    }
    deadline_ = NEVER;
    deadlineReached_ = false;
    clock_ = CLOCK_START;
    screenWidth_ = 640;
    screenHeight_ = 480;
    saverRunning_ = false;
    std::lock_guard<std::mutex> lock(inputGuard_);
    cursor_ = POINT{0, 0};
  }

 private:
  static WPARAM ButtonFlags() {
    WPARAM flags = 0;
    if (AsyncKeyState(VK_LBUTTON)) flags |= MK_LBUTTON;
    if (AsyncKeyState(VK_RBUTTON)) flags |= MK_RBUTTON;
    if (AsyncKeyState(VK_MBUTTON)) flags |= MK_MBUTTON;
    if (AsyncKeyState(VK_SHIFT)) flags |= MK_SHIFT;
    if (AsyncKeyState(VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
  }

  static void Queue(const MSG &msg) {
    std::shared_ptr<ThreadQueue> queue = QueueOfThread(WindowThread(msg.hwnd));
    if (queue) PostInput(*queue, msg);
  }

  // The deepest visible enabled-or-not window under a screen point, newest windows on top.
  static HWND WindowAt(POINT at) {
    std::vector<Window *> all = AllWindows();
    HWND found = nullptr;
    HWND parent = nullptr;
    for (;;) {
      HWND next = nullptr;
      for (auto it = all.rbegin(); it != all.rend() && next == nullptr; ++it) {
        Window *w = *it;
        const bool child = (w->style & WS_CHILD) != 0;
        if (w->destroying || !IsWindowVisible(w->handle)) continue;
        if (parent == nullptr ? (child && IsLocalHandle(w->parent)) : (!child || w->parent != parent))
          continue;
        RECT r;
        GetWindowRect(w->handle, &r);
        if (at.x >= r.left && at.x < r.right && at.y >= r.top && at.y < r.bottom) next = w->handle;
      }
      if (next == nullptr) return found;
      found = parent = next;
    }
  }

  std::atomic<uint64_t> clock_{CLOCK_START};
  int screenWidth_ = 640;
  int screenHeight_ = 480;
  std::mutex scriptGuard_;
  std::map<std::pair<uint64_t, uint64_t>, std::function<void()>> script_;
  uint64_t nextSequence_ = 0;
  std::atomic<uint64_t> nextEvent_{NEVER};
  std::atomic<uint64_t> deadline_{NEVER};
  std::atomic<bool> deadlineReached_{false};
  std::atomic<bool> saverRunning_{false};
  std::mutex inputGuard_;
  POINT cursor_{0, 0};
};

HeadlessBackend &Headless() {
  testing::UseHeadless();
  ActiveBackend();
  return *instance;
}

UINT ButtonMessage(testing::Button button, bool down) {
  switch (button) {
    case testing::Button::Left: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case testing::Button::Right: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
  }
}

UINT ButtonKey(testing::Button button) {
  switch (button) {
    case testing::Button::Left: return VK_LBUTTON;
    case testing::Button::Right: return VK_RBUTTON;
    default: return VK_MBUTTON;
  }
}

}  // namespace

Backend *MakeHeadlessBackend() { return new HeadlessBackend(); }

namespace testing {

void ResetHeadless() {
  HeadlessBackend &backend = Headless();
  ClearWindowTable();
  ClearAllQueues();
  ResetActivation();
  ResetKeyState();
  ResetCursor();
  ForgetAllModules();
  backend.Reset();
}

void SetScreenSize(int width, int height) { Headless().SetScreenSize(width, height); }

DWORD Now() { return Headless().Now(); }
void AdvanceClock(DWORD milliseconds) { Headless().Advance(milliseconds); }

void ScheduleKeyDown(DWORD at, UINT virtualKey) {
  Headless().Schedule(at, [virtualKey] { instance->DeliverKey(virtualKey, true); });
}

void ScheduleKeyUp(DWORD at, UINT virtualKey) {
  Headless().Schedule(at, [virtualKey] { instance->DeliverKey(virtualKey, false); });
}

void ScheduleMouseMove(DWORD at, int x, int y) {
  Headless().Schedule(at, [x, y] { instance->DeliverMouse(WM_MOUSEMOVE, 0, x, y, true); });
}

void ScheduleButton(DWORD at, Button button, bool down) {
  Headless().Schedule(at, [button, down] {
    // The button's own state counts in the message's flags only while it is down.
    KeyMessageForEvent(ButtonKey(button), down);
    instance->DeliverMouse(ButtonMessage(button, down), 0, 0, 0, false);
  });
}

void ScheduleWheel(DWORD at, int delta) {
  Headless().Schedule(at, [delta] {
    instance->DeliverMouse(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0, 0, false);
  });
}

void ScheduleCall(DWORD at, std::function<void()> action) {
  Headless().Schedule(at, std::move(action));
}

void SetDeadline(DWORD at) { Headless().SetDeadline(at); }
bool DeadlineReached() { return Headless().DeadlineReached(); }

std::vector<uint32_t> ReadWindowPixels(HWND window, int *width, int *height) {
  const Surface *surface = WindowSurface(window);
  if (surface == nullptr) return {};
  if (width != nullptr) *width = surface->width;
  if (height != nullptr) *height = surface->height;
  if (!surface->indexed) return surface->pixels32;
  std::vector<uint32_t> pixels(surface->pixels8.size());
  std::transform(surface->pixels8.begin(), surface->pixels8.end(), pixels.begin(),
                 [&](uint8_t index) { return surface->hardwarePalette[index]; });
  return pixels;
}

std::vector<uint8_t> ReadWindowIndices(HWND window, int *width, int *height) {
  const Surface *surface = WindowSurface(window);
  if (surface == nullptr) return {};
  if (width != nullptr) *width = surface->width;
  if (height != nullptr) *height = surface->height;
  return surface->indexed ? surface->pixels8 : std::vector<uint8_t>();
}

}  // namespace testing

}  // namespace compat
