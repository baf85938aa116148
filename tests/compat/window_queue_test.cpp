// The thread's message queue through the headless backend: retrieval order and filters,
// PM_NOREMOVE, the quit message, timers that coalesce, direct sends, other threads' posts.
// (Nested loops: the sub-dialogs, which run inside the main dialog's loop.)
#include <thread>

#include "window_fixture.h"

namespace {

using Queue = HeadlessWindows;
using compat::testing::Now;

TEST_F(Queue, PostedMessagesComeInOrderThroughFiltersThenTheQuit) {
  const HWND a = MakeWindow(WS_POPUP);
  const HWND b = MakeWindow(WS_POPUP);
  const HWND child = MakeWindow(WS_CHILD, a);
  ASSERT_TRUE(a && b && child);
  PostMessageA(a, WM_USER + 1, 1, 0);
  PostMessageA(b, WM_USER + 2, 2, 0);
  PostMessageA(child, WM_USER + 3, 3, 0);

  MSG msg;
  // Peeking without removing leaves the message for the next retrieval.
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 1u);
  // A window filter takes the window and its children, in posting order.
  ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, a);
  ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, child);
  EXPECT_FALSE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
  // A range filter skips what lies outside.
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 5, WM_USER + 9, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, b);
  EXPECT_EQ(msg.wParam, 2u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

  // The quit comes after every posted message, even one posted after it, once.
  PostMessageA(a, WM_USER, 0, 0);
  PostQuitMessage(7);
  PostMessageA(a, WM_USER + 1, 0, 0);
  received.clear();
  EXPECT_EQ(RunLoop(), 7);
  EXPECT_EQ(Of(WM_USER).size(), 1u);
  EXPECT_EQ(Of(WM_USER + 1).size(), 1u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Queue, TimersCoalesceToOnePendingMessageAndTheClockJumpsToThem) {
  const HWND window = MakeWindow(WS_POPUP);
  EXPECT_EQ(SetTimer(window, 200, 20, nullptr), 200u);
  const DWORD start = Now();
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  // Ten and a half periods pass unattended: one WM_TIMER is waiting, not ten.
  compat::testing::AdvanceClock(210);
  ASSERT_TRUE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 200u);
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  // GetMessageA waits for the next period of the timer's own rhythm: the virtual clock moves
  // exactly there. Periods below 10 ms run at 10 ms; each timer keeps its own id.
  std::vector<std::pair<WPARAM, DWORD>> ticks;
  auto next = [&] {
    ASSERT_GT(GetMessageA(&msg, nullptr, 0, 0), 0);
    ticks.emplace_back(msg.message == WM_TIMER ? msg.wParam : 0, Now() - start);
  };
  next();
  SetTimer(window, 787, 1, nullptr);
  next();
  next();
  EXPECT_EQ(ticks, (std::vector<std::pair<WPARAM, DWORD>>{{200, 220}, {787, 230}, {200, 240}}));
  // Posted messages come before a due timer; a killed timer's pending tick goes with it.
  compat::testing::AdvanceClock(50);
  PostMessageA(window, WM_USER, 0, 0);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
  EXPECT_TRUE(KillTimer(window, 200));
  EXPECT_TRUE(KillTimer(window, 787));
  EXPECT_FALSE(KillTimer(window, 787));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

  // A thread timer gets an id of its own; its procedure runs from DispatchMessageA.
  static int calls = 0;
  calls = 0;
  const UINT_PTR id = SetTimer(nullptr, 0, 30, [](HWND, UINT message, UINT_PTR, DWORD) {
    if (message == WM_TIMER && ++calls == 3) PostQuitMessage(0);
  });
  ASSERT_NE(id, 0u);
  const DWORD threadStart = Now();
  RunLoop();
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(Now() - threadStart, 90u);
  EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(Queue, SendIsADirectCallWhilePaintWaitsUntilValidated) {
  const HWND window = MakeWindow(WS_POPUP);
  handler = [](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT *result) {
    if (message != WM_USER) return false;
    *result = static_cast<LRESULT>(wParam * 2);
    return true;
  };
  EXPECT_EQ(SendMessageA(window, WM_USER, 21, 0), 42);
  ASSERT_EQ(Of(WM_USER).size(), 1u);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

  // A shown window is erased at once, then asks to be painted until a procedure validates
  // it; DefWindowProcA does. An erase that was not done (no class brush here) is owed to
  // the painting.
  ShowWindow(window, SW_SHOW);
  EXPECT_EQ(Of(WM_ERASEBKGND).size(), 1u);
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
  }
  DispatchMessageA(&msg);
  EXPECT_EQ(Of(WM_ERASEBKGND).size(), 2u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

// The multimedia timer's thread and the audio device post to the window thread.
TEST_F(Queue, AnotherThreadsPostsArriveInOrderWhileTheLoopWaits) {
  const HWND window = MakeWindow(WS_POPUP);
  constexpr int COUNT = 2000;
  std::vector<WPARAM> order;
  handler = [&](HWND w, UINT message, WPARAM wParam, LPARAM, LRESULT *) {
    if (message == WM_USER) order.push_back(wParam);
    else if (message == WM_USER + 1) DestroyWindow(w);
    else if (message == WM_DESTROY) PostQuitMessage(0);
    return message >= WM_USER;
  };
  std::thread poster([&] {
    for (int i = 0; i < COUNT; ++i) PostMessageA(window, WM_USER, static_cast<WPARAM>(i), 0);
    PostMessageA(window, WM_USER + 1, 0, 0);
  });
  RunLoop();
  poster.join();
  ASSERT_EQ(order.size(), static_cast<size_t>(COUNT));
  for (int i = 0; i < COUNT; ++i) ASSERT_EQ(order[static_cast<size_t>(i)], static_cast<WPARAM>(i));
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
