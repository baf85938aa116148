// The full-screen saver: the real SaverMain, with a helper window of this test that feeds the
// saver input from inside its own message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "host/saver_main.h"
#include "host/saver_window.h"

namespace {

constexpr char HELPER_CLASS[] = "LumivaneTestInputHelper";
constexpr UINT_PTR STEP_TIMER = 1;
constexpr int GIVE_UP_STEPS = 40;

// Each step runs on one helper timer tick with the saver window; a step returning false ends
// the script there.
using Step = std::function<bool(HWND saver)>;
std::vector<Step> script;
size_t nextStep = 0;
int ticks = 0;
bool saverSeen = false;

LRESULT CALLBACK HelperProc(HWND helper, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == STEP_TIMER) {
    HWND saver = FindWindowA(SAVER_CLASS_NAME, SAVER_FULLSCREEN_TITLE);
    if (saver) saverSeen = true;
    if (++ticks > GIVE_UP_STEPS) {
      // The saver did not close as expected; end its loop so the test can report it.
      KillTimer(helper, STEP_TIMER);
      if (saver) DestroyWindow(saver);
      return 0;
    }
    if (saver && nextStep < script.size() && script[nextStep](saver)) ++nextStep;
    return 0;
  }
  return DefWindowProcA(helper, message, wParam, lParam);
}

// Runs "/s" with the given steps fed from the helper; returns the exit code.
int RunFullScreen(std::vector<Step> steps) {
  script = std::move(steps);
  nextStep = 0;
  ticks = 0;
  saverSeen = false;
  WNDCLASSA helperClass = {};
  helperClass.lpfnWndProc = HelperProc;
  helperClass.hInstance = GetModuleHandleA(nullptr);
  helperClass.lpszClassName = HELPER_CLASS;
  RegisterClassA(&helperClass);
  HWND helper = CreateWindowExA(0, HELPER_CLASS, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  SetTimer(helper, STEP_TIMER, 60, nullptr);
  const int exitCode = SaverMain(GetModuleHandleA(nullptr), "/s");
  DestroyWindow(helper);
  UnregisterClassA(HELPER_CLASS, GetModuleHandleA(nullptr));
  return exitCode;
}

Step Send(UINT message, WPARAM wParam = 0) {
  return [=](HWND saver) {
    SendMessageA(saver, message, wParam, 0);
    return true;
  };
}

Step ExpectStillRunning() {
  return [](HWND saver) {
    EXPECT_TRUE(IsWindow(saver));
    return true;
  };
}

}  // namespace

TEST(FullScreen, CoversTheScreenTopmostAndEveryPressingInputEndsItWithZero) {
  for (UINT input : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    RECT rect = {};
    LONG exStyle = 0;
    const int exitCode = RunFullScreen({
        [&](HWND saver) {
          GetWindowRect(saver, &rect);
          exStyle = GetWindowLongA(saver, GWL_EXSTYLE);
          return true;
        },
        Send(input),
    });
    EXPECT_EQ(exitCode, 0) << "message " << input;
    EXPECT_TRUE(saverSeen);
    EXPECT_LE(ticks, GIVE_UP_STEPS) << "message " << input << " did not dismiss";
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  }
  EXPECT_EQ(FindWindowA(SAVER_CLASS_NAME, nullptr), nullptr);
}

TEST(FullScreen, ReleasesWheelTitleChangesAndSwallowedCommandsDoNotDismiss) {
  const int exitCode = RunFullScreen({
      Send(WM_KEYUP, 'A'),
      Send(WM_LBUTTONUP),
      Send(WM_RBUTTONUP),
      Send(WM_MBUTTONUP),
      Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120)),
      Send(WM_SYSCOMMAND, SC_NEXTWINDOW),
      Send(WM_SYSCOMMAND, SC_PREVWINDOW),
      Send(WM_SYSCOMMAND, SC_SCREENSAVE),
      [](HWND saver) {
        SetWindowTextA(saver, "Renamed");
        char title[32] = "";
        GetWindowTextA(saver, title, sizeof title);
        EXPECT_STREQ(title, "Screen Saver");
        return true;
      },
      ExpectStillRunning(),
      Send(WM_KEYDOWN, 'A'),
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_LE(ticks, GIVE_UP_STEPS) << "the final key did not dismiss";
}

TEST(FullScreen, CursorJitterOfFourPixelsStaysAndFiveDismisses) {
  POINT start = {};
  const int exitCode = RunFullScreen({
      [&](HWND) {
        GetCursorPos(&start);
        SetCursorPos(start.x + 2, start.y - 2);
        return true;
      },
      Send(WM_MOUSEMOVE),
      [&](HWND) {
        SetCursorPos(start.x - 1, start.y + 3);
        return true;
      },
      Send(WM_MOUSEMOVE),
      ExpectStillRunning(),
      [&](HWND) {
        SetCursorPos(start.x + 3, start.y + 2);
        return true;
      },
      Send(WM_MOUSEMOVE),
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_LE(ticks, GIVE_UP_STEPS) << "a movement of 5 pixels did not dismiss";
}
