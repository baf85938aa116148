// The SDL2 backend: real windows with their input, presentation of what changed in window
// surfaces within a share of a core, foreign X11 windows for previews and XScreenSaver, and
// other processes' windows through X11Windows. The screen of the Win32 API is the primary
// monitor, whose top-left corner is (0, 0); a full-screen window blacks out the others.
#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <thread>

#include "backend/backend.h"
#include "backend/frame_presenter.h"
#include "backend/x11_windows.h"
#include "gdi/surface.h"
#include "window/input.h"

namespace compat {

namespace {

// Window-system events are collected at most this often from PeekMessageA, which drawing
// calls thousands of times a second.
constexpr DWORD PUMP_INTERVAL_MS = 4;
// How long an idle GetMessageA sleeps before looking at the window system again.
constexpr int IDLE_WAIT_MS = 20;
// Presenting may take this share of one core. Converting what changed costs little for sparse
// designs, but with palette animation it can be most of the picture; such frames come less
// often.
constexpr double PRESENT_CPU_SHARE = 0.025;
// The window system copies every pixel sent, at a cost of its own: frames that send more come
// less often, so that it copies at most this many a millisecond. Sparse frames are not slowed;
// under palette animation a 1080p frame sends most of the screen and comes less often than
// thirty times a second, a 2160p one ten times (the fewest frames allowed).
constexpr double SENT_PIXELS_PER_MS = 32000;
// At most thirty frames a second, or the display's refresh if that is slower: more would
// cost more than it shows.
constexpr DWORD MIN_PRESENT_INTERVAL_MS = 33;
// Frames come at least this often, whatever they cost.
constexpr DWORD MAX_PRESENT_INTERVAL_MS = 100;
// How often a window drawn into a foreign window checks that its host still exists.
constexpr DWORD FOREIGN_CHECK_MS = 250;

// A black window over a monitor other than the primary, part of a full-screen window: its
// input goes to that window.
struct Companion {
  SDL_Window *sdl = nullptr;
  Uint32 id = 0;
  POINT origin = {0, 0};  // in screen coordinates
};

struct Native {
  SDL_Window *sdl = nullptr;
  Uint32 id = 0;
  unsigned long xid = 0;
  bool foreign = false;  // drawn into a window another program made
  bool shown = false;
  Surface *surface = nullptr;  // the window's pixels
  uint64_t presented = ~0ull;
  DWORD frameDue = 0;  // the next frame may be shown from then on
  DWORD refreshMs = MIN_PRESENT_INTERVAL_MS;
  double presentCostMs = 0;  // processor time of a frame, smoothed over the last few
  DWORD presentIntervalMs = MIN_PRESENT_INTERVAL_MS;
  bool closeRequested = false;
  bool sendWhole = true;  // the window system lost what was shown (exposed, resized)
  FramePresenter frames;
  std::vector<SDL_Rect> rects;
  std::vector<uint32_t> staging;
  std::vector<Companion> companions;
};

DWORD MonotonicMs(clockid_t clock) {
  timespec now;
  clock_gettime(clock, &now);
  return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                            static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

double ThreadCpuMs() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1000 + static_cast<double>(now.tv_nsec) / 1e6;
}

unsigned long XScreenSaverWindow() {
  const char *text = std::getenv("XSCREENSAVER_WINDOW");
  if (text == nullptr || *text == '\0') return 0;
  return std::strtoul(text, nullptr, 0);
}

UINT VirtualKeyOf(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<UINT>(key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<UINT>(key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + static_cast<UINT>(key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD1 + static_cast<UINT>(key - SDLK_KP_1);
  switch (key) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_LGUI: return VK_LWIN;
    case SDLK_RGUI: return VK_RWIN;
    case SDLK_APPLICATION: return VK_APPS;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_PRINTSCREEN: return VK_SNAPSHOT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: return 0;
  }
}

class SdlBackend : public Backend {
 public:
  ~SdlBackend() override {
    if (videoOk_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  DWORD Now() override { return MonotonicMs(CLOCK_MONOTONIC); }
  DWORD CoarseNow() override { return MonotonicMs(CLOCK_MONOTONIC_COARSE); }
  DWORD CoarseLag() override { return coarseLag_; }

  void Sleep(DWORD milliseconds) override {
    if (milliseconds == 0) std::this_thread::yield();
    else std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

  void ScreenSize(int *width, int *height) override {
    *width = *height = 0;
    // As an XScreenSaver hack the screen is the window XScreenSaver gives.
    const unsigned long hostWindow = XScreenSaverWindow();
    if (hostWindow != 0 && x11().Size(hostWindow, width, height)) return;
    const std::vector<MonitorArea> &monitors = Monitors();
    if (monitors.empty()) return;
    *width = monitors[0].width;
    *height = monitors[0].height;
  }

  bool PumpDue(DWORD coarseNow) override {
    return !natives_.empty() && coarseNow - lastPump_ >= PUMP_INTERVAL_MS;
  }

  void Pump() override {
    lastPump_ = MonotonicMs(CLOCK_MONOTONIC_COARSE);
    if (!videoOk_) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) Translate(event);
    const DWORD now = Now();
    if (now - lastForeignCheck_ >= FOREIGN_CHECK_MS) {
      lastForeignCheck_ = now;
      FollowForeignHosts();
    }
    for (auto &entry : natives_) Present(*entry.second, now);
  }

  void WaitForMessages(const QueueWait &wait) override {
    int64_t limit = natives_.empty() ? -1 : IDLE_WAIT_MS;
    if (wait.hasTimer) {
      const int64_t untilTimer = std::max<int32_t>(0, static_cast<int32_t>(wait.nextTimer - Now()));
      limit = limit < 0 ? untilTimer : std::min(limit, untilTimer);
    }
    wait.Block(limit);
    if (!natives_.empty()) Pump();
  }

  uint64_t PresentedFrames() override { return presentedFrames_; }

  bool CreateNative(const NativeWindowDescription &window) override {
    if (!EnsureVideo()) return false;
    auto native = std::make_unique<Native>();
    native->surface = window.surface;
    unsigned long hostWindow = 0;
    if (window.style & WS_CHILD) hostWindow = reinterpret_cast<uintptr_t>(window.parent);
    else if (window.style & WS_POPUP) hostWindow = XScreenSaverWindow();
    if (hostWindow != 0) {
      native->sdl = SDL_CreateWindowFrom(reinterpret_cast<void *>(hostWindow));
      native->foreign = true;
      native->xid = hostWindow;
    } else {
      const POINT origin = ScreenOrigin();
      native->sdl = SDL_CreateWindow(window.title, window.x + origin.x, window.y + origin.y,
                                     std::max(window.width, 1), std::max(window.height, 1),
                                     NativeFlags(window));
      if (native->sdl != nullptr && CoversScreen(window)) AddCompanions(*native, window);
    }
    if (native->sdl == nullptr) return false;
    native->id = SDL_GetWindowID(native->sdl);
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(native->sdl, &mode) == 0 && mode.refresh_rate > 0)
      native->refreshMs = std::max(MIN_PRESENT_INTERVAL_MS, static_cast<DWORD>(1000 / mode.refresh_rate));
    if (!native->foreign) {
      SDL_SysWMinfo info;
      SDL_VERSION(&info.version);
      if (SDL_GetWindowWMInfo(native->sdl, &info) && info.subsystem == SDL_SYSWM_X11) {
        native->xid = info.info.x11.window;
        XSync(info.info.x11.display, False);
        x11().SetClass(native->xid, window.className);
      }
    }
    natives_[window.window] = std::move(native);
    return true;
  }

  void DestroyNative(HWND window) override {
    auto it = natives_.find(window);
    if (it == natives_.end()) return;
    for (Companion &companion : it->second->companions) SDL_DestroyWindow(companion.sdl);
    SDL_DestroyWindow(it->second->sdl);
    natives_.erase(it);
  }

  void ShowNative(HWND window, bool show) override {
    Native *native = NativeOf(window);
    if (native == nullptr) return;
    native->shown = show;
    native->presented = ~0ull;
    native->sendWhole = true;
    native->frames.Forget();
    if (native->foreign) return;
    for (Companion &companion : native->companions) {
      if (show) {
        SDL_ShowWindow(companion.sdl);
        Blacken(companion.sdl);
      } else {
        SDL_HideWindow(companion.sdl);
      }
    }
    if (show) SDL_ShowWindow(native->sdl);
    else SDL_HideWindow(native->sdl);
  }

  void SetNativeTitle(HWND window, const char *title) override {
    Native *native = NativeOf(window);
    if (native != nullptr && !native->foreign) SDL_SetWindowTitle(native->sdl, title);
  }

  void RaiseNative(HWND window) override {
    Native *native = NativeOf(window);
    if (native == nullptr || native->foreign) return;
    for (Companion &companion : native->companions) SDL_RaiseWindow(companion.sdl);
    SDL_RaiseWindow(native->sdl);
  }

  void SetCursorVisible(bool visible) override {
    cursorVisible_ = visible;
    if (videoOk_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
  }

  POINT CursorPos() override {
    int x = 0, y = 0;
    if (!x11().Pointer(&x, &y) && EnsureVideo()) SDL_GetGlobalMouseState(&x, &y);
    const POINT origin = ScreenOrigin();
    return POINT{x - origin.x, y - origin.y};
  }

  void SetCursorPos(int x, int y) override {
    const POINT origin = ScreenOrigin();
    if (x11().Connected()) x11().WarpPointer(x + origin.x, y + origin.y);
    else if (EnsureVideo()) SDL_WarpMouseGlobal(x + origin.x, y + origin.y);
  }

  HWND FindForeign(const char *className, const char *title) override {
    // Inside the daemon's window the daemon decides what runs: no other process's window,
    // a stand-alone saver's included, stands in the way.
    if (XScreenSaverWindow() != 0) return nullptr;
    const unsigned long found = x11().Find(className, title, [this](unsigned long xid) {
      for (auto &entry : natives_)
        if (entry.second->xid == xid) return true;
      return false;
    });
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(found));
  }
  bool ForeignClientSize(HWND window, int *width, int *height) override {
    return x11().Size(Xid(window), width, height);
  }
  bool CloseForeign(HWND window) override { return x11().Close(Xid(window)); }
  bool ActivateForeign(HWND window) override { return x11().Activate(Xid(window)); }
  HWND ForeignForeground() override {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(x11().Active()));
  }

  bool SaverRunning() override { return x11().Connected() ? x11().SaverRunning() : saverRunning_; }
  void SetSaverRunning(bool on) override {
    if (x11().Connected()) x11().SetSaverRunning(on);
    else saverRunning_ = on;
  }

 private:
  static unsigned long Xid(HWND window) { return reinterpret_cast<uintptr_t>(window); }

  X11Windows &x11() {
    if (!x11_) x11_ = std::make_unique<X11Windows>();
    return *x11_;
  }

  // The monitors of the X screen, the primary first: RandR's, else one covering what SDL
  // reports. Taken once; windows placed on them keep their places for the run.
  const std::vector<MonitorArea> &Monitors() {
    if (monitorsKnown_) return monitors_;
    monitorsKnown_ = true;
    monitors_ = x11().Monitors();
    SDL_DisplayMode mode;
    if (monitors_.empty() && EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0)
      monitors_.push_back(MonitorArea{0, 0, mode.w, mode.h});
    return monitors_;
  }

  // Where the Win32 screen's (0, 0), the primary monitor's corner, lies on the X screen.
  POINT ScreenOrigin() {
    const std::vector<MonitorArea> &monitors = Monitors();
    return monitors.empty() ? POINT{0, 0} : POINT{monitors[0].x, monitors[0].y};
  }

  // A full-screen window: a popup at least the size of the primary monitor.
  bool CoversScreen(const NativeWindowDescription &window) {
    const std::vector<MonitorArea> &monitors = Monitors();
    return (window.style & WS_POPUP) && !monitors.empty() &&
           window.width >= monitors[0].width && window.height >= monitors[0].height;
  }

  void AddCompanions(Native &native, const NativeWindowDescription &window) {
    const std::vector<MonitorArea> &monitors = Monitors();
    const POINT origin = ScreenOrigin();
    const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR |
                         ((window.exStyle & WS_EX_TOPMOST) ? SDL_WINDOW_ALWAYS_ON_TOP : 0);
    for (size_t i = 1; i < monitors.size(); ++i) {
      const MonitorArea &m = monitors[i];
      Companion companion;
      companion.sdl = SDL_CreateWindow(window.title, m.x, m.y, m.width, m.height, flags);
      if (companion.sdl == nullptr) continue;
      companion.id = SDL_GetWindowID(companion.sdl);
      companion.origin = POINT{m.x - origin.x, m.y - origin.y};
      native.companions.push_back(companion);
    }
  }

  static void Blacken(SDL_Window *window) {
    SDL_Surface *surface = SDL_GetWindowSurface(window);
    if (surface == nullptr) return;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_UpdateWindowSurface(window);
  }

  bool EnsureVideo() {
    if (videoTried_) return videoOk_;
    videoTried_ = true;
    // SDL's RandR path lists the outputs of every screen and opens windows on the first;
    // without it SDL keeps to the screen DISPLAY names. Monitors come from X11Windows.
    SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
    // Foreign windows have visuals a GL renderer may refuse; the software framebuffer
    // draws into any of them.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Only a real display will do: SDL's offscreen and dummy drivers would let a saver run
    // unseen and undismissable. A user's SDL_VIDEODRIVER still wins.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, std::getenv("WAYLAND_DISPLAY") != nullptr ? "x11,wayland" : "x11");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    videoOk_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (videoOk_) {
      SDL_StopTextInput();
      SDL_ShowCursor(cursorVisible_ ? SDL_ENABLE : SDL_DISABLE);
    }
    return videoOk_;
  }

  Uint32 NativeFlags(const NativeWindowDescription &window) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (window.style & WS_POPUP) {
      flags |= SDL_WINDOW_BORDERLESS;
      // SDL's full screen is the whole X screen: right for one monitor, while with several
      // the window keeps to the primary one.
      if (CoversScreen(window) && Monitors().size() == 1) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    if (window.exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (window.exStyle & WS_EX_TOOLWINDOW) flags |= SDL_WINDOW_SKIP_TASKBAR;
    return flags;
  }

  Native *NativeOf(HWND window) {
    auto it = natives_.find(window);
    return it == natives_.end() ? nullptr : it->second.get();
  }

  // The window an SDL window belongs to: its own, or the full-screen window it blacks out a
  // monitor for.
  HWND WindowOfId(Uint32 id) {
    for (auto &entry : natives_) {
      if (entry.second->id == id) return entry.first;
      for (const Companion &companion : entry.second->companions)
        if (companion.id == id) return entry.first;
    }
    return nullptr;
  }

  // A point in an SDL window's own coordinates, in screen coordinates.
  POINT ScreenPointOf(Uint32 id, HWND window, int x, int y) {
    for (const Companion &companion : natives_[window]->companions)
      if (companion.id == id) return POINT{companion.origin.x + x, companion.origin.y + y};
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
  }

  void Translate(const SDL_Event &event) {
    switch (event.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const UINT key = VirtualKeyOf(event.key.keysym.sym);
        if (WindowOfId(event.key.windowID) != nullptr && key != 0)
          ReportKey(key, event.type == SDL_KEYDOWN);
        return;
      }
      case SDL_MOUSEMOTION: {
        const HWND window = WindowOfId(event.motion.windowID);
        if (window != nullptr)
          ReportPointerMove(ScreenPointOf(event.motion.windowID, window, event.motion.x, event.motion.y), window);
        return;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const HWND window = WindowOfId(event.button.windowID);
        MouseButton button;
        switch (event.button.button) {
          case SDL_BUTTON_LEFT: button = MouseButton::Left; break;
          case SDL_BUTTON_RIGHT: button = MouseButton::Right; break;
          case SDL_BUTTON_MIDDLE: button = MouseButton::Middle; break;
          default: return;
        }
        if (window != nullptr)
          ReportButton(button, event.type == SDL_MOUSEBUTTONDOWN,
                       ScreenPointOf(event.button.windowID, window, event.button.x, event.button.y), window);
        return;
      }
      case SDL_MOUSEWHEEL:
        if (WindowOfId(event.wheel.windowID) != nullptr) ReportWheel(event.wheel.y * WHEEL_DELTA, CursorPos());
        return;
      case SDL_WINDOWEVENT: {
        const HWND window = WindowOfId(event.window.windowID);
        if (window == nullptr) return;
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) BlackenCompanion(*natives_[window], event.window.windowID);
        switch (event.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            // The window manager's close request, from a user or another process.
            PostMessageA(window, WM_CLOSE, 0, 0);
            return;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            natives_[window]->frames.Forget();
            [[fallthrough]];
          case SDL_WINDOWEVENT_EXPOSED:
            natives_[window]->presented = ~0ull;
            natives_[window]->sendWhole = true;
            return;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            ReportFocus(window);
            return;
          default:
            return;
        }
      }
      default:
        return;
    }
  }

  static void BlackenCompanion(Native &native, Uint32 id) {
    for (Companion &companion : native.companions)
      if (companion.id == id) Blacken(companion.sdl);
  }

  // A window drawn into another program's window goes when that window goes, as a child
  // goes with its parent, and takes its size when it is resized.
  void FollowForeignHosts() {
    std::vector<std::pair<HWND, POINT>> resized;  // the window and its host's new size
    for (auto &entry : natives_) {
      Native &native = *entry.second;
      if (!native.foreign || native.closeRequested) continue;
      int width = 0, height = 0;
      if (!x11().Size(native.xid, &width, &height)) {
        native.closeRequested = true;
        PostMessageA(entry.first, WM_CLOSE, 0, 0);
        continue;
      }
      RECT client;
      if (GetClientRect(entry.first, &client) && (client.right != width || client.bottom != height))
        resized.push_back({entry.first, POINT{width, height}});
    }
    for (const auto &change : resized) {
      // SDL does not watch a window it did not make: taken afresh, it knows the new size.
      Native &native = *natives_[change.first];
      SDL_Window *fresh = SDL_CreateWindowFrom(reinterpret_cast<void *>(native.xid));
      if (fresh == nullptr) continue;
      SDL_DestroyWindow(native.sdl);
      native.sdl = fresh;
      native.id = SDL_GetWindowID(fresh);
      native.presented = ~0ull;
      native.sendWhole = true;
      native.frames.Forget();
      SetWindowPos(change.first, nullptr, 0, 0, change.second.x, change.second.y,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  void Present(Native &native, DWORD now) {
    if (!native.shown) return;
    Surface &surface = *native.surface;
    if (surface.generation == native.presented || static_cast<int32_t>(now - native.frameDue) < 0)
      return;
    SDL_Surface *target = SDL_GetWindowSurface(native.sdl);
    if (target == nullptr || surface.width == 0 || surface.height == 0) return;
    native.presented = surface.generation;
    ++presentedFrames_;
    const double started = ThreadCpuMs();
    const double sentPixels = PresentFrame(native, surface, target);
    const double cost = ThreadCpuMs() - started;
    native.presentCostMs = native.presentCostMs == 0 ? cost : 0.75 * native.presentCostMs + 0.25 * cost;
    const double wanted = std::max(native.presentCostMs / PRESENT_CPU_SHARE, sentPixels / SENT_PIXELS_PER_MS);
    native.presentIntervalMs = static_cast<DWORD>(
        std::clamp(wanted, double(native.refreshMs), double(MAX_PRESENT_INTERVAL_MS)));
    // Pumps come when the thread wakes, a little after a frame is due. Frames keep to their
    // schedule rather than to those wake-ups, or every lateness would lower the rate; after a
    // pause (nothing changed, or a long stall) the schedule starts again from now.
    const DWORD late = now - native.frameDue;
    native.frameDue = (late < native.presentIntervalMs ? native.frameDue : now) + native.presentIntervalMs;
  }

  // Returns the number of pixels sent to the window system.
  double PresentFrame(Native &native, Surface &surface, SDL_Surface *target) {
    const Uint32 format = target->format->format;
    const bool direct = (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) &&
                        target->w == surface.width && target->h == surface.height;
    const double whole = double(target->w) * target->h;
    if (!direct) {
      PresentScaled(native, surface, target);
      return whole;
    }
    if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
    const std::vector<PresentRect> &changed = native.frames.Update(
        surface, static_cast<uint32_t *>(target->pixels), target->pitch / 4);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    if (native.sendWhole) {
      native.sendWhole = false;
      SDL_UpdateWindowSurface(native.sdl);
      return whole;
    }
    if (changed.empty()) return 0;
    native.rects.clear();
    double sent = 0;
    for (const PresentRect &rect : changed) {
      native.rects.push_back(SDL_Rect{rect.x, rect.y, rect.width, rect.height});
      sent += double(rect.width) * rect.height;
    }
    SDL_UpdateWindowSurfaceRects(native.sdl, native.rects.data(), static_cast<int>(native.rects.size()));
    return sent;
  }

  // A window whose pixels differ in size or format from its surface (a host window of
  // another size): converted into a staging frame and scaled whole.
  static void PresentScaled(Native &native, Surface &surface, SDL_Surface *target) {
    native.staging.resize(static_cast<size_t>(surface.width) * surface.height);
    native.frames.Update(surface, native.staging.data(), surface.width);
    SDL_Surface *source = SDL_CreateRGBSurfaceWithFormatFrom(
        native.staging.data(), surface.width, surface.height, 32, surface.width * 4,
        SDL_PIXELFORMAT_RGB888);
    if (source == nullptr) return;
    SDL_BlitScaled(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(native.sdl);
  }

  bool videoTried_ = false;
  bool videoOk_ = false;
  bool cursorVisible_ = true;
  bool saverRunning_ = false;
  bool monitorsKnown_ = false;
  std::vector<MonitorArea> monitors_;
  DWORD lastPump_ = 0;
  DWORD lastForeignCheck_ = 0;
  uint64_t presentedFrames_ = 0;
  // The coarse clock moves in steps of its resolution; both readings are cut to whole ms.
  const DWORD coarseLag_ = [] {
    timespec step{0, 0};
    clock_getres(CLOCK_MONOTONIC_COARSE, &step);
    return static_cast<DWORD>(step.tv_sec * 1000 + step.tv_nsec / 1000000) + 1;
  }();
  std::map<HWND, std::unique_ptr<Native>> natives_;
  std::unique_ptr<X11Windows> x11_;
};

}  // namespace

Backend *MakeSdlBackend() { return new SdlBackend(); }

}  // namespace compat
