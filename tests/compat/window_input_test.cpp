// Scripted input through the headless backend: keys with their characters and system keys,
// the mouse with the cursor position and its coalesced moves, buttons, the deadline; and the
// rules every backend's input follows: double clicks, capture, focus. (Key message bits, the
// button flags of mouse messages and the wheel's routing go unchecked: nothing reads them.)
#include "window_fixture.h"

namespace {

using Input = HeadlessWindows;
using namespace compat::testing;

TEST_F(Input, KeysArriveAtTheFocusAndTranslateIntoCharacters) {
  const HWND window = MakeWindow(WS_POPUP | WS_VISIBLE);
  const DWORD t = Now();
  const std::vector<std::pair<UINT, bool>> keys{
      {'A', true},      {'A', false},      {VK_SHIFT, true}, {'1', true},
      {VK_SHIFT, false}, {'7', true},
      // Alt: a system key, and it makes the next one one too.
      {VK_MENU, true},  {'X', true},       {VK_MENU, false}, {VK_ESCAPE, true}, {VK_F1, true}};
  for (size_t i = 0; i < keys.size(); ++i) {
    const DWORD at = t + 10 * static_cast<DWORD>(i + 1);
    if (keys[i].second) ScheduleKeyDown(at, keys[i].first);
    else ScheduleKeyUp(at, keys[i].first);
  }
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
  for (const Received &r : received) EXPECT_EQ(r.window, window);
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
  const std::vector<std::pair<UINT, HWND>> buttons{
      {WM_RBUTTONDOWN, child}, {WM_RBUTTONUP, child}, {WM_LBUTTONDOWN, host}};
  EXPECT_EQ(Sequence({WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDOWN}), buttons);
  // Each mouse message is preceded by WM_SETCURSOR naming the client area and the message.
  const std::vector<Received> cursors = Of(WM_SETCURSOR);
  ASSERT_FALSE(cursors.empty());
  EXPECT_EQ(cursors.back().lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  POINT at;
  ASSERT_TRUE(GetCursorPos(&at));
  EXPECT_EQ(at.x, 172);
  EXPECT_EQ(at.y, 112);
}

TEST_F(Input, DoubleClicksCaptureAndFocusFollowTheWin32Rules) {
  SetScreenSize(640, 480);
  const HWND plain = MakeWindow(WS_POPUP | WS_VISIBLE, nullptr, 300, 200);
  ASSERT_NE(MakeWindow(WS_CHILD | WS_VISIBLE | WS_DISABLED, plain, 50, 50), nullptr);
  WNDCLASSA clicks{};
  clicks.style = CS_DBLCLKS;
  clicks.lpfnWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(plain, GWLP_WNDPROC));
  clicks.lpszClassName = "Clicker";
  ASSERT_NE(RegisterClassA(&clicks), 0);
  const HWND clicker = CreateWindowExA(0, "Clicker", "", WS_POPUP | WS_VISIBLE, 320, 0, 300, 200,
                                       nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(clicker, nullptr);
  ASSERT_EQ(GetForegroundWindow(), clicker);
  received.clear();
  const DWORD t = Now();
  ScheduleMouseMove(t + 5, 330, 10);
  auto click = [](DWORD at, Button button) {
    ScheduleButton(at, button, true);
    ScheduleButton(at + 5, button, false);
  };
  click(t + 10, Button::Left);
  ScheduleMouseMove(t + 15, 331, 11);  // inside the double-click rectangle
  click(t + 20, Button::Left);         // double click
  click(t + 30, Button::Left);         // a third press starts anew
  click(t + 700, Button::Left);        // too late for the one before
  ScheduleMouseMove(t + 710, 340, 10);
  click(t + 720, Button::Left);   // too far
  click(t + 730, Button::Right);  // another button does not pair with the left one...
  click(t + 740, Button::Right);  // ...but with its own
  ScheduleMouseMove(t + 800, 100, 100);
  click(t + 810, Button::Left);
  click(t + 820, Button::Left);  // a class without CS_DBLCLKS never sees a double click
  ScheduleCall(t + 840, [&] { SetCapture(clicker); });
  ScheduleMouseMove(t + 850, 20, 20);
  ScheduleCall(t + 860, [] { ReleaseCapture(); });
  ScheduleMouseMove(t + 870, 21, 21);  // over the disabled child: its parent gets it
  ScheduleCall(t + 880, [&] { SetFocus(plain); });
  ScheduleKeyDown(t + 890, 'A');
  // Without a focus, keys go to the active window as system keys.
  ScheduleCall(t + 905, [] { SetFocus(nullptr); });
  ScheduleKeyDown(t + 910, 'B');
  SetDeadline(t + 1000);
  RunLoop();

  const std::vector<std::pair<UINT, HWND>> presses{
      {WM_LBUTTONDOWN, clicker}, {WM_LBUTTONDBLCLK, clicker}, {WM_LBUTTONDOWN, clicker},
      {WM_LBUTTONDOWN, clicker}, {WM_LBUTTONDOWN, clicker},   {WM_RBUTTONDOWN, clicker},
      {WM_RBUTTONDBLCLK, clicker}, {WM_LBUTTONDOWN, plain},   {WM_LBUTTONDOWN, plain}};
  EXPECT_EQ(Sequence({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK}), presses);
  const std::vector<Received> doubles = Of(WM_LBUTTONDBLCLK);
  ASSERT_EQ(doubles.size(), 1u);
  EXPECT_EQ(doubles[0].lParam, MAKELPARAM(11, 11));

  const std::vector<Received> moves = Of(WM_MOUSEMOVE);
  ASSERT_GE(moves.size(), 2u);
  const Received &captured = moves[moves.size() - 2];
  EXPECT_EQ(captured.window, clicker);
  EXPECT_EQ(static_cast<short>(LOWORD(captured.lParam)), 20 - 320);
  EXPECT_EQ(moves.back().window, plain);  // not the disabled child under the pointer
  EXPECT_EQ(moves.back().lParam, MAKELPARAM(21, 21));

  const std::vector<std::pair<UINT, HWND>> keys{{WM_KEYDOWN, plain}, {WM_SYSKEYDOWN, clicker}};
  EXPECT_EQ(Sequence({WM_KEYDOWN, WM_SYSKEYDOWN}), keys);
  EXPECT_EQ(Of(WM_SYSKEYDOWN)[0].wParam, static_cast<WPARAM>('B'));
}

}  // namespace
