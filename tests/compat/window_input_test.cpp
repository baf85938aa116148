// Scripted input through the headless backend: keys with their characters and system keys,
// the mouse with the cursor and its coalesced moves, buttons, the deadline.
#include "window_fixture.h"

namespace {

using Input = HeadlessWindows;
using namespace compat::testing;

TEST_F(Input, KeysArriveAtTheFocusAndTranslateIntoCharacters) {
  const HWND window = MakeWindow(WS_POPUP | WS_VISIBLE);
  const DWORD t = Now();
  ScheduleKeyDown(t + 10, 'A');
  ScheduleKeyUp(t + 20, 'A');
  ScheduleKeyDown(t + 30, VK_SHIFT);
  ScheduleKeyDown(t + 40, '1');
  ScheduleKeyUp(t + 50, VK_SHIFT);
  ScheduleKeyDown(t + 60, '7');
  ScheduleKeyDown(t + 70, VK_MENU);  // Alt: a system key, and it makes the next one one too
  ScheduleKeyDown(t + 80, 'X');
  ScheduleKeyUp(t + 90, VK_MENU);
  ScheduleKeyDown(t + 100, VK_ESCAPE);
  ScheduleKeyDown(t + 110, VK_F1);
  SetDeadline(t + 200);
  RunLoop();
  EXPECT_TRUE(DeadlineReached());

  std::vector<WPARAM> characters;
  for (const Received &r : Of(WM_CHAR)) characters.push_back(r.wParam);
  EXPECT_EQ(characters, (std::vector<WPARAM>{'a', '!', '7', 0x1B}));
  ASSERT_EQ(Of(WM_SYSKEYDOWN).size(), 2u);
  EXPECT_EQ(Of(WM_SYSKEYDOWN)[0].wParam, static_cast<WPARAM>(VK_MENU));
  EXPECT_EQ(Of(WM_SYSKEYDOWN)[1].wParam, static_cast<WPARAM>('X'));
  ASSERT_EQ(Of(WM_SYSCHAR).size(), 1u);
  EXPECT_EQ(Of(WM_SYSCHAR)[0].wParam, static_cast<WPARAM>('x'));
  EXPECT_EQ(Of(WM_KEYDOWN).size(), 6u);
  // A release has the transition and previous-state bits; a press has neither.
  const DWORD up = static_cast<DWORD>(Of(WM_KEYUP)[0].lParam);
  EXPECT_EQ(up & 0xC0000000u, 0xC0000000u);
  EXPECT_EQ(static_cast<DWORD>(Of(WM_KEYDOWN)[0].lParam) & 0xC0000000u, 0u);
  EXPECT_EQ(LOWORD(Of(WM_KEYDOWN)[0].lParam), 1);  // repeat count
  for (const Received &r : received) EXPECT_EQ(r.window, window);
  // Without a window in front and in focus, keys go nowhere.
  DestroyWindow(window);
  received.clear();
  ScheduleKeyDown(Now() + 1, 'B');
  SetDeadline(Now() + 5);
  RunLoop();
  EXPECT_TRUE(Of(WM_KEYDOWN).empty());
}

TEST_F(Input, TheMouseMovesTheCursorAndReachesTheWindowUnderIt) {
  SetScreenSize(640, 480);
  const HWND back = MakeWindow(WS_POPUP | WS_VISIBLE, nullptr, 640, 480);
  const HWND host = MakeWindow(WS_POPUP | WS_VISIBLE, nullptr, 200, 100);
  MoveWindow(host, 100, 100, 200, 100, TRUE);
  const HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, host, 50, 50);
  received.clear();
  const DWORD t = Now();
  ScheduleMouseMove(t + 10, 5, 5);
  ScheduleMouseMove(t + 20, 120, 130);
  ScheduleButton(t + 30, Button::Right, true);
  ScheduleButton(t + 40, Button::Right, false);
  ScheduleMouseMove(t + 50, 170, 110);
  // Moves that pile up before the queue is read arrive as one, at the last position.
  ScheduleMouseMove(t + 60, 171, 111);
  ScheduleMouseMove(t + 60, 172, 112);
  ScheduleButton(t + 70, Button::Left, true);
  ScheduleWheel(t + 80, -WHEEL_DELTA);
  SetDeadline(t + 100);
  RunLoop();

  const std::vector<Received> moves = Of(WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 4u);
  EXPECT_EQ(moves[0].window, back);
  EXPECT_EQ(moves[1].window, child);
  EXPECT_EQ(moves[1].lParam, MAKELPARAM(20, 30));  // client coordinates of the child
  EXPECT_EQ(moves[2].window, host);
  EXPECT_EQ(moves[2].lParam, MAKELPARAM(70, 10));
  EXPECT_EQ(moves[3].lParam, MAKELPARAM(72, 12));
  EXPECT_EQ(moves[3].wParam, 0u);
  ASSERT_EQ(Of(WM_RBUTTONDOWN).size(), 1u);
  EXPECT_EQ(Of(WM_RBUTTONDOWN)[0].window, child);
  EXPECT_EQ(Of(WM_RBUTTONDOWN)[0].wParam, static_cast<WPARAM>(MK_RBUTTON));
  EXPECT_EQ(Of(WM_RBUTTONUP).size(), 1u);
  EXPECT_EQ(Of(WM_LBUTTONDOWN).size(), 1u);
  ASSERT_EQ(Of(WM_MOUSEWHEEL).size(), 1u);
  EXPECT_EQ(static_cast<short>(HIWORD(Of(WM_MOUSEWHEEL)[0].wParam)), -WHEEL_DELTA);
  // Each mouse message is preceded by WM_SETCURSOR naming the client area and the message.
  const std::vector<Received> cursors = Of(WM_SETCURSOR);
  ASSERT_FALSE(cursors.empty());
  EXPECT_EQ(LOWORD(cursors.back().lParam), HTCLIENT);
  POINT at;
  ASSERT_TRUE(GetCursorPos(&at));
  EXPECT_EQ(at.x, 172);
  EXPECT_EQ(at.y, 112);
}

TEST_F(Input, CursorShapeAndShowCount) {
  const HCURSOR arrow = GetCursor();
  EXPECT_NE(arrow, nullptr);
  EXPECT_EQ(SetCursor(nullptr), arrow);
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(SetCursor(LoadCursorA(nullptr, IDC_ARROW)), nullptr);
  EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
