// Windows from creation to destruction: the messages on the way, DefWindowProcA's close,
// finding windows, the foreground and enabling.
#include "window_fixture.h"

namespace {

using Lifecycle = HeadlessWindows;

TEST_F(Lifecycle, CreationSendsItsMessagesInOrderAndCanBeRefused) {
  compat::testing::SetScreenSize(800, 600);
  const HWND window = CreateWindowExA(WS_EX_TOPMOST, "recorder", "Screen Saver",
                                      WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                      GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  // The order Windows keeps for these (checked under Wine, which sends a few more between).
  std::vector<UINT> messages;
  for (const Received &r : received)
    if (r.window == window) messages.push_back(r.message);
  EXPECT_EQ(messages, (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                                         WM_ACTIVATE, WM_SETFOCUS, WM_ERASEBKGND}));
  EXPECT_EQ(Of(WM_SIZE)[0].lParam, MAKELPARAM(800, 600));
  EXPECT_EQ(GetForegroundWindow(), window);
  EXPECT_EQ(GetFocus(), window);

  // WM_CREATE answering -1 refuses the window: it is destroyed again and none is returned.
  handler = [](HWND, UINT message, WPARAM, LPARAM, LRESULT *result) {
    *result = -1;
    return message == WM_CREATE;
  };
  received.clear();
  EXPECT_EQ(MakeWindow(), nullptr);
  EXPECT_EQ(Of(WM_DESTROY).size(), 1u);
  EXPECT_EQ(Of(WM_NCDESTROY).size(), 1u);
  // A child without a parent: no window.
  EXPECT_EQ(MakeWindow(WS_CHILD, nullptr), nullptr);
}

TEST_F(Lifecycle, DefaultCloseDestroysParentBeforeChildrenAndForgetsTheirMessages) {
  const HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE);
  const HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, parent, 50, 40);
  ASSERT_TRUE(parent && child);
  SetTimer(parent, 1, 100, nullptr);
  PostMessageA(child, WM_USER, 0, 0);
  received.clear();
  handler = [](HWND, UINT message, WPARAM, LPARAM, LRESULT *) {
    if (message == WM_DESTROY) PostQuitMessage(3);
    return false;
  };
  EXPECT_EQ(SendMessageA(parent, WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  const std::vector<std::pair<UINT, HWND>> expected{
      {WM_DESTROY, parent}, {WM_DESTROY, child}, {WM_NCDESTROY, child}, {WM_NCDESTROY, parent}};
  EXPECT_EQ(Sequence({WM_DESTROY, WM_NCDESTROY}), expected);
  // The loop sees the quit, and neither the dead child's message nor the dead timer.
  received.clear();
  EXPECT_EQ(RunLoop(), 3);
  EXPECT_TRUE(Of(WM_USER).empty());
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  EXPECT_FALSE(DestroyWindow(parent));
  EXPECT_FALSE(PostMessageA(parent, WM_USER, 0, 0));
}

TEST_F(Lifecycle, FindWindowMatchesTopLevelClassAndTitleWithoutCase) {
  const HWND saver = MakeWindow(WS_POPUP, nullptr, 10, 10, "Screen Saver");
  const HWND dialog = MakeWindow(WS_POPUP, nullptr, 10, 10, "Lumivane 95");
  const HWND child = MakeWindow(WS_CHILD, saver, 5, 5, "Preview");
  ASSERT_TRUE(saver && dialog && child);
  EXPECT_EQ(FindWindowA("RECORDER", "screen saver"), saver);
  EXPECT_EQ(FindWindowA(nullptr, "Lumivane 95"), dialog);
  EXPECT_EQ(FindWindowA("Recorder", nullptr), saver);
  EXPECT_EQ(FindWindowA(nullptr, "Preview"), nullptr);  // children are not top-level windows
  EXPECT_EQ(FindWindowA("WindowsScreenSaverClass", "Screen Saver"), nullptr);
  EXPECT_EQ(FindWindowA(nullptr, "Screen Saver 2"), nullptr);
  // A title change through WM_SETTEXT is what FindWindowA sees.
  EXPECT_TRUE(SetWindowTextA(dialog, "Other"));
  EXPECT_EQ(FindWindowA(nullptr, "Lumivane 95"), nullptr);
}

TEST_F(Lifecycle, ForegroundAndEnabling) {
  const HWND first = MakeWindow(WS_POPUP | WS_VISIBLE);
  const HWND second = MakeWindow(WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(GetForegroundWindow(), second);
  EXPECT_TRUE(SetForegroundWindow(first));
  EXPECT_EQ(GetForegroundWindow(), first);

  // The driver stops drawing while its window is disabled (a password dialog over it):
  // WM_ENABLE tells it, once for each change.
  received.clear();
  EXPECT_FALSE(EnableWindow(first, FALSE));  // it was enabled
  EXPECT_FALSE(IsWindowEnabled(first));
  EXPECT_TRUE(EnableWindow(first, FALSE));   // already disabled: no second WM_ENABLE
  EXPECT_TRUE(EnableWindow(first, TRUE));
  ASSERT_EQ(Of(WM_ENABLE).size(), 2u);
  EXPECT_EQ(Of(WM_ENABLE)[0].wParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(Of(WM_ENABLE)[1].wParam, static_cast<WPARAM>(TRUE));
}

}  // namespace
