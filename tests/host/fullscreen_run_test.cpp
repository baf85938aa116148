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

TEST(FullScreen, SwallowedSystemCommandsAndTitleChangesLeaveItRunning) {
  const int exitCode = RunFullScreen({
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
      Send(WM_KEYDOWN, 'A'),
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(ScriptFinished()) << "dismissed early";
  EXPECT_LE(ScriptTicks(), GIVE_UP_STEPS) << "the final key did not dismiss";
}
