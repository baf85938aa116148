// The real SaverMain on the headless backend: input arrives through the layer's scripted
// input at exact virtual times, so the dismissal rules and timings can be pinned down.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/headless_scene.h"
#include "engine/renderer.h"
#include "host/password_cpl/stand_in_verifier.h"
#include "host/saver_script.h"

namespace ct = compat::testing;

namespace {

constexpr char PLAIN_CLASS[] = "LumivaneTestPlainWindow";

void FreshScene() {
  FreshHeadlessScene();
  SetCursorPos(500, 400);
  WNDCLASSA plain = {};
  plain.lpfnWndProc = DefWindowProcA;
  plain.hInstance = GetModuleHandleA(nullptr);
  plain.lpszClassName = PLAIN_CLASS;
  RegisterClassA(&plain);
}

HWND PlainWindow(const char *title, int x, int y, int width, int height) {
  return CreateWindowExA(0, PLAIN_CLASS, title, WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

class ScriptedRun : public ::testing::Test {
 protected:
  void SetUp() override {
    FreshScene();
    SetPasswordValue(REG_NONE);
  }
};

}  // namespace

// That a preview ignores input the end-to-end run on the real display checks.
TEST_F(ScriptedRun, KeysButtonPressesAndMovesOverFourPixelsDismissButReleasesAndTheWheelDoNot) {
  struct Case {
    const char *name;
    void (*schedule)(DWORD at);
    bool dismisses;
  } cases[] = {
      {"move",
       [](DWORD at) {
         ct::ScheduleMouseMove(At(100), 502, 398);  // 4 from the start
         ct::ScheduleMouseMove(At(150), 499, 403);  // 4 again, never accumulated
         ct::ScheduleMouseMove(At(200), 497, 401);  // 3 + 1
         ct::ScheduleMouseMove(at, 503, 402);       // 5
       },
       true},
      {"key", [](DWORD at) { ct::ScheduleKeyDown(at, 'Q'); }, true},
      {"system key", [](DWORD at) { ct::ScheduleKeyDown(at, VK_F10); }, true},
      {"left", [](DWORD at) { ct::ScheduleButton(at, ct::Button::Left, true); }, true},
      {"right", [](DWORD at) { ct::ScheduleButton(at, ct::Button::Right, true); }, true},
      {"middle", [](DWORD at) { ct::ScheduleButton(at, ct::Button::Middle, true); }, true},
      {"key up", [](DWORD at) { ct::ScheduleKeyUp(at, 'Q'); }, false},
      {"left up", [](DWORD at) { ct::ScheduleButton(at, ct::Button::Left, false); }, false},
      {"right up", [](DWORD at) { ct::ScheduleButton(at, ct::Button::Right, false); }, false},
      {"middle up", [](DWORD at) { ct::ScheduleButton(at, ct::Button::Middle, false); }, false},
      {"wheel", [](DWORD at) { ct::ScheduleWheel(at, -WHEEL_DELTA); }, false},
  };
  for (const Case &c : cases) {
    FreshScene();
    c.schedule(At(250));
    // The cursor is hidden, also after moves too small to dismiss.
    HCURSOR cursor = reinterpret_cast<HCURSOR>(1);
    ct::ScheduleCall(At(240), [&] { cursor = GetCursor(); });
    EXPECT_EQ(RunSaver("/s"), 0) << c.name;
    EXPECT_EQ(ct::DeadlineReached(), !c.dismisses) << c.name;
    if (c.dismisses) {
      EXPECT_EQ(Elapsed(), 250u) << c.name;
    }
    EXPECT_EQ(cursor, nullptr) << c.name;
  }
}

TEST_F(ScriptedRun, ASecondStartFrontsTheFirstAndAKeyWithin200MsOfAWrongPasswordIsDropped) {
  const DWORD on = 1;
  SetPasswordValue(REG_DWORD, &on, sizeof on);
  ScriptVerifier(0b10);  // wrong, then right
  HWND other = PlainWindow("Other", 0, 0, 10, 10);
  bool flagBefore = false, flagAfterSecond = false, flagAfterWrongAnswer = false;
  int secondExit = 99, loadsDuringSecond = -1, callsAt1199 = -1;
  HWND first = nullptr, foreground = nullptr;
  ct::ScheduleCall(At(0), [&] { flagBefore = RunningFlag(); });
  ct::ScheduleCall(At(100), [&] {
    first = Saver();
    SetForegroundWindow(other);
    secondExit = SaverMain(GetModuleHandleA(nullptr), " -/S");
    loadsDuringSecond = ct::ModuleLoadCount("PASSWORD.CPL");
    flagAfterSecond = RunningFlag();
    foreground = GetForegroundWindow();
  });
  ct::ScheduleKeyDown(At(1000), 'A');
  ct::ScheduleCall(At(1001), [&] { flagAfterWrongAnswer = RunningFlag(); });
  ct::ScheduleKeyDown(At(1199), 'B');
  ct::ScheduleCall(At(1199), [&] { callsAt1199 = VerifierCalls(); });
  ct::ScheduleKeyDown(At(1200), 'C');
  EXPECT_FALSE(RunningFlag());
  EXPECT_EQ(RunSaver("/s"), 0);
  EXPECT_FALSE(ct::DeadlineReached());
  EXPECT_EQ(Elapsed(), 1200u);
  EXPECT_TRUE(flagBefore) << "the flag is set before the window exists";
  EXPECT_EQ(secondExit, 0);
  EXPECT_EQ(loadsDuringSecond, 1);
  EXPECT_TRUE(flagAfterSecond);
  EXPECT_EQ(foreground, first);
  EXPECT_TRUE(flagAfterWrongAnswer);
  EXPECT_EQ(callsAt1199, 1);
  EXPECT_EQ(VerifierCalls(), 2) << "the first saver lost its verifier";
  EXPECT_FALSE(RunningFlag());
  EXPECT_EQ(ct::ModuleLoadCount("PASSWORD.CPL"), 0);
}

namespace {
HWND changeOwner = nullptr;
std::string changeProvider;
int changeCalls = 0;
DWORD WINAPI StandInPwdChangePassword(LPCSTR provider, HWND owner, DWORD, LPVOID) {
  changeProvider = provider ? provider : "";
  changeOwner = owner;
  ++changeCalls;
  return 0;
}
}  // namespace

TEST_F(ScriptedRun, PasswordChangeIsOwnedByTheNamedWindowOrElseTheForegroundOne) {
  HWND foreground = PlainWindow("Display settings", 0, 0, 50, 50);
  HWND named = PlainWindow("Owner", 60, 0, 50, 50);
  SetForegroundWindow(foreground);
  ct::RegisterModule(
      "MPR.DLL",
      {{"PwdChangePasswordA",
        reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(StandInPwdChangePassword))}});
  char namedTail[32];
  std::snprintf(namedTail, sizeof namedTail, "/a %lu",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(named)));
  const struct {
    const char *tail;
    HWND owner;
  } cases[] = {
      {"/a", foreground}, {namedTail, named}, {"/a 4711", foreground}, {"/a:12", foreground}};
  for (const auto &c : cases) {
    changeCalls = 0;
    changeOwner = nullptr;
    EXPECT_EQ(RunSaver(c.tail), 0) << c.tail;
    EXPECT_EQ(changeCalls, 1) << c.tail;
    EXPECT_EQ(changeOwner, c.owner) << c.tail;
    EXPECT_EQ(changeProvider, "SCRSAVE") << c.tail;
    EXPECT_EQ(ct::ModuleLoadCount("MPR.DLL"), 0) << c.tail;
  }
}

TEST_F(ScriptedRun, AQuitWithoutDestroyStillShutsTheRunDownOnceAndStoresItsThroughput) {
  SetSetting("LastSpeed", "stale");
  // 5,000,000 lines in the second since the design began: past a 32-bit product.
  ct::ScheduleCall(At(1000), [] {
    linesDrawn = 5000000;
    PostQuitMessage(0);
  });
  EXPECT_EQ(RunSaver("/s"), 0);
  EXPECT_FALSE(ct::DeadlineReached());
  EXPECT_EQ(Saver(), nullptr) << "the window outlived its loop";
  EXPECT_EQ(Setting("LastSpeed"), "5000000");
  EXPECT_EQ(renderer.ring.block, nullptr) << "the trail ring was not freed";
  MSG stray;
  EXPECT_FALSE(PeekMessageA(&stray, nullptr, 0, 0, PM_REMOVE)) << "a message was left behind";
}
