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
#include "module/modules.h"
#include "window/input.h"
#include "window/window_surface.h"

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

  // The virtual clock is read as it is: it has no cheaper form.
  bool PumpDue(DWORD) override {
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

  void WaitForMessages(const QueueWait &wait) override {
    const uint64_t now = clock_.load();
    uint64_t next = NEVER;
    if (wait.hasTimer) next = std::min(next, Expand(wait.nextTimer));
    next = std::min(next, nextEvent_.load());
    if (!deadlineReached_) next = std::min(next, deadline_.load());
    if (wait.Arrived()) return;
    if (next != NEVER && next > now) {
      // Nothing to do until then: time jumps there.
      clock_ = next;
      return;
    }
    // Only another thread can bring something now.
    wait.Block(-1);
  }

  // ---- Windows ----
  bool CreateNative(const NativeWindowDescription &) override { return true; }
  void DestroyNative(HWND) override {}
  void ShowNative(HWND, bool) override {}
  void SetNativeTitle(HWND, const char *) override {}
  void RaiseNative(HWND) override {}

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

  POINT MoveCursor(int x, int y) {
    std::lock_guard<std::mutex> lock(inputGuard_);
    cursor_ = POINT{x, y};
    return cursor_;
  }

  // ---- Other processes' windows: there are none without a display ----
  HWND FindForeign(const char *, const char *) override { return nullptr; }
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

MouseButton ButtonOf(testing::Button button) {
  switch (button) {
    case testing::Button::Left: return MouseButton::Left;
    case testing::Button::Right: return MouseButton::Right;
    default: return MouseButton::Middle;
  }
}

}  // namespace

Backend *MakeHeadlessBackend() { return new HeadlessBackend(); }

namespace testing {

void ResetHeadless() {
  HeadlessBackend &backend = Headless();
  ResetWindowLayer();
  ForgetAllModules();
  backend.Reset();
}

void SetScreenSize(int width, int height) { Headless().SetScreenSize(width, height); }

DWORD Now() { return Headless().Now(); }
void AdvanceClock(DWORD milliseconds) { Headless().Advance(milliseconds); }

void ScheduleKeyDown(DWORD at, UINT virtualKey) {
  Headless().Schedule(at, [virtualKey] { ReportKey(virtualKey, true); });
}

void ScheduleKeyUp(DWORD at, UINT virtualKey) {
  Headless().Schedule(at, [virtualKey] { ReportKey(virtualKey, false); });
}

void ScheduleMouseMove(DWORD at, int x, int y) {
  Headless().Schedule(at, [x, y] { ReportPointerMove(instance->MoveCursor(x, y), nullptr); });
}

void ScheduleButton(DWORD at, Button button, bool down) {
  Headless().Schedule(at, [button, down] {
    ReportButton(ButtonOf(button), down, instance->CursorPos(), nullptr);
  });
}

void ScheduleWheel(DWORD at, int delta) {
  Headless().Schedule(at, [delta] { ReportWheel(delta, instance->CursorPos()); });
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
