// The full-screen saver's dismissal, through the real SaverMain and message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/saver_window.h"
#include "saver_script.h"

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
    EXPECT_TRUE(ScriptSawSaver());
    EXPECT_LE(ScriptTicks(), GIVE_UP_STEPS) << "message " << input << " did not dismiss";
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
  EXPECT_TRUE(ScriptFinished()) << "dismissed early";
  EXPECT_LE(ScriptTicks(), GIVE_UP_STEPS) << "the final key did not dismiss";
}

TEST(FullScreen, CursorJitterOfFourPixelsStaysAndFiveDismisses) {
  POINT start = {};
  // Moving the cursor is itself input on some systems, so each step moves and then reports.
  auto moveTo = [&](int dx, int dy) {
    return [&start, dx, dy](HWND saver) {
      SetCursorPos(start.x + dx, start.y + dy);
      SendMessageA(saver, WM_MOUSEMOVE, 0, 0);
      return true;
    };
  };
  const int exitCode = RunFullScreen({
      [&](HWND) {
        GetCursorPos(&start);
        return true;
      },
      moveTo(2, -2),
      moveTo(-1, 3),
      ExpectStillRunning(),
      moveTo(3, 2),
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(ScriptFinished()) << "a movement of 4 pixels dismissed";
  EXPECT_LE(ScriptTicks(), GIVE_UP_STEPS) << "a movement of 5 pixels did not dismiss";
}
