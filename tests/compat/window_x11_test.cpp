// The SDL2/X11 backend in a real X server: another process finds our saver window by class
// and title, brings it forward and closes it, and sees the screen-saver-running flag, which goes
// with its process however that dies; an XScreenSaver hack draws into the window the daemon
// made, and goes when it goes. Each side is this test binary started again as a helper process,
// so that each runs with a fresh window system connection. (The pointer, and a preview in its
// host: the Linux program's own end-to-end tests.)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "window_fixture.h"

// After gtest, whose names Xlib's macros would otherwise rewrite.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char **environ;

namespace {

const char *Role() { return std::getenv("LUMIVANE_X11_HELPER"); }

// A title no other program on a shared display uses.
std::string DialogTitle() {
  const char *tag = std::getenv("LUMIVANE_X11_TAG");
  return std::string("Lumivane 95 ") + (tag != nullptr ? tag : "");
}

// The cases need the SDL2 backend on an X server. A process that has already switched to the
// headless backend for other tests (a whole run of this binary) leaves them to the X11 run.
bool HaveX11Backend() {
  const char *display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0' && !compat::testing::HeadlessActive();
}

pid_t StartHelper(const std::string &role) {
  const std::string filter = "--gtest_filter=X11Helper." + role;
  std::string self(4096, '\0');
  self.resize(static_cast<size_t>(readlink("/proc/self/exe", self.data(), self.size())));
  setenv("LUMIVANE_X11_HELPER", role.c_str(), 1);
  setenv("LUMIVANE_X11_TAG", std::to_string(getpid()).c_str(), 0);
  char *argv[] = {self.data(), const_cast<char *>(filter.c_str()), nullptr};
  pid_t pid = -1;
  posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ);
  unsetenv("LUMIVANE_X11_HELPER");
  return pid;
}

// The helper's gtest result: 0 when its test passed.
int Finish(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

LRESULT CALLBACK QuitOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

void Register(const char *name, WNDPROC procedure = QuitOnDestroy) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = name;
  ASSERT_NE(RegisterClassA(&windowClass), 0);
}

// Runs the loop until the quit message; false when `limitMs` passed first.
bool LoopUntilQuit(HWND window, DWORD limitMs) {
  SetTimer(window, 1, limitMs, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.wParam == 1) return false;
    DispatchMessageA(&msg);
  }
  return true;
}

class ForeignWindow {
 public:
  ForeignWindow(int width, int height) : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10,
                                  static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0,
                                  WhitePixel(display_, DefaultScreen(display_)));
    XMapWindow(display_, window_);
    XSync(display_, False);
  }
  ~ForeignWindow() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  HWND handle() const { return reinterpret_cast<HWND>(static_cast<uintptr_t>(window_)); }
  unsigned long Pixel(int x, int y) {
    XImage *image = XGetImage(display_, window_, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return ~0ul;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel & 0xFFFFFF;
  }
  void Destroy() {
    XDestroyWindow(display_, window_);
    XSync(display_, False);
  }

 private:
  Display *display_;
  ::Window window_ = 0;
};

TEST(WindowX11, AnotherProcessFindsActivatesAndClosesTheSaverWindow) {
  if (!HaveX11Backend()) GTEST_SKIP() << "needs the SDL2 backend on an X server (DISPLAY)";
  const pid_t owner = StartHelper("Owner");
  const pid_t finder = StartHelper("Finder");
  EXPECT_EQ(Finish(finder), 0);
  EXPECT_EQ(Finish(owner), 0);
}

TEST(WindowX11, AHackDrawsIntoXScreenSaversWindowAndEndsWithIt) {
  if (!HaveX11Backend()) GTEST_SKIP() << "needs the SDL2 backend on an X server (DISPLAY)";
  EXPECT_EQ(Finish(StartHelper("Hack")), 0);
}

TEST(WindowX11, TheRunningFlagIsSeenByOthersAndGoesWithItsProcessHoweverItDies) {
  if (!HaveX11Backend()) GTEST_SKIP() << "needs the SDL2 backend on an X server (DISPLAY)";
  const auto held = [] {
    BOOL running = FALSE;
    return SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) && running;
  };
  for (int signal : {SIGKILL, SIGSEGV}) {
    const pid_t holder = StartHelper("FlagHolder");
    ASSERT_GT(holder, 0);
    EXPECT_TRUE(PumpUntil(held)) << "signal " << signal;
    kill(holder, signal);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    // (A sanitizer's own fault handler may turn the death into an exit with its error code.)
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_TRUE(PumpUntil([&] { return !held(); })) << "the flag outlived signal " << signal;
  }
}

TEST(X11Helper, FlagHolder) {
  if (Role() == nullptr) GTEST_SKIP() << "runs only as a helper process";
  // This process never exits by itself, so its result is never read: held until the test
  // ends it from outside.
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
  for (;;) pause();
}

TEST(X11Helper, Owner) {
  if (Role() == nullptr) GTEST_SKIP() << "runs only as a helper process";
  Register("WindowsScreenSaverClass");
  // Under another title until it is ready for the finder.
  const HWND window = CreateWindowExA(WS_EX_TOPMOST, "WindowsScreenSaverClass", "Starting",
                                      WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  // A hidden window found by its title alone, as the watchdog finds the configuration dialog.
  Register("Plain", DefWindowProcA);
  const HWND dialog = CreateWindowExA(0, "Plain", DialogTitle().c_str(), WS_POPUP, 0, 0, 50, 50,
                                      nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetWindowTextA(window, "Screen Saver"));
  // The finder's WM_CLOSE arrives as the window manager's close request and destroys it.
  EXPECT_TRUE(LoopUntilQuit(window, 10000));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsWindow(dialog));
}

TEST(X11Helper, Finder) {
  if (Role() == nullptr) GTEST_SKIP() << "runs only as a helper process";
  HWND found = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] { return (found = FindWindowA("windowsscreensaverclass", "Screen Saver")) != nullptr; }));
  EXPECT_EQ(FindWindowA("WindowsScreenSaverClass", "Lumivane 95"), nullptr);
  HWND dialog = nullptr;
  ASSERT_TRUE(
      PumpUntil([&] { return (dialog = FindWindowA(nullptr, DialogTitle().c_str())) != nullptr; }));
  EXPECT_NE(dialog, found);
  SendMessageA(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(IsWindow(found));
  EXPECT_TRUE(SetForegroundWindow(found));
  ASSERT_TRUE(PostMessageA(found, WM_CLOSE, 0, 0));
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(found); }));
}

TEST(X11Helper, Hack) {
  if (Role() == nullptr) GTEST_SKIP() << "runs only as a helper process";
  ForeignWindow host(300, 200);
  const std::string id = std::to_string(reinterpret_cast<uintptr_t>(host.handle()));
  setenv("XSCREENSAVER_WINDOW", id.c_str(), 1);
  // As an XScreenSaver hack the "screen" is XScreenSaver's window.
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 300);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 200);
  Register("Hack");
  const HWND saver = CreateWindowExA(WS_EX_TOPMOST, "Hack", "Screen Saver", WS_POPUP | WS_VISIBLE,
                                     0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(saver, nullptr);
  // It shows through the host once painted, and ends when the host is destroyed.
  HDC dc = GetDC(saver);
  const RECT all{0, 0, 300, 200};
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(dc, &all, blue);
  DeleteObject(blue);
  ReleaseDC(saver, dc);
  // Pumping reads input and presents the surface.
  EXPECT_TRUE(PumpUntil([&] { return host.Pixel(299, 199) == 0x0000FFul; }));
  host.Destroy();
  EXPECT_TRUE(LoopUntilQuit(saver, 5000));
  EXPECT_FALSE(IsWindow(saver));
}

}  // namespace
