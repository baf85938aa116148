// The real SaverMain and message loop, full-screen and as a preview in a window of the test,
// with the desktop's real registry value and a stand-in verifier library named "PASSWORD.CPL".
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/line_model.h"
#include "host/saver_window.h"
#include "saver_script.h"

TEST(FullScreen, CoversTheScreenTopmostKeepsItsTitleSwallowsTaskSwitchesAndAKeyEndsItWithZero) {
  // Full screen after any run of spaces, slashes and hyphens, and by the first letter only.
  for (const char *tail : {"/s", "/ - s", "/scr", "S", "--/s extra"}) {
    SCOPED_TRACE(tail);
    RECT rect = {};
    LONG exStyle = 0;
    char title[32] = "";
    const int exitCode = RunScript(tail, {
                                             [&](HWND saver) {
                                               GetWindowRect(saver, &rect);
                                               exStyle = GetWindowLongA(saver, GWL_EXSTYLE);
                                               SetWindowTextA(saver, "Renamed");
                                               GetWindowTextA(saver, title, sizeof title);
                                               return true;
                                             },
                                             Send(WM_SYSCOMMAND, SC_NEXTWINDOW),
                                             Send(WM_SYSCOMMAND, SC_PREVWINDOW),
                                             Send(WM_SYSCOMMAND, SC_SCREENSAVE),
                                             Send(WM_KEYDOWN, 'A'),
                                         });
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(ScriptFinished()) << "dismissed early";
    EXPECT_LE(ScriptTicks(), GIVE_UP_STEPS) << "the key did not dismiss";
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_STREQ(title, "Screen Saver");
    EXPECT_EQ(FindWindowA(SAVER_CLASS_NAME, nullptr), nullptr);
  }
}

namespace {

typedef void(WINAPI *ScriptVerifierFn)(int answers);
typedef int(WINAPI *CountFn)();

template <typename Function>
Function Export(HMODULE module, const char *name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

TEST(PasswordRun, AnyTrueDesktopValueAsksWithTheFlagOnAndOtherwiseTheFlagIsLeftAlone) {
  HMODULE verifier = LoadLibraryA("PASSWORD.CPL");
  ASSERT_NE(verifier, nullptr);
  const auto script = Export<ScriptVerifierFn>(verifier, "ScriptVerifier");
  const auto calls = Export<CountFn>(verifier, "VerifierCalls");
  const auto callsWithFlagOn = Export<CountFn>(verifier, "VerifierCallsWithFlagOn");
  ASSERT_TRUE(script && calls && callsWithFlagOn);
  HKEY desktop = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop), ERROR_SUCCESS);

  const DWORD on = 1, off = 0;
  const BYTE binary[] = {0, 0, 1, 0};
  const struct {
    DWORD type;
    const void *data;
    DWORD size;
    bool asks;
  } values[] = {{REG_DWORD, &on, sizeof on, true},
                {REG_SZ, "1", 2, true},
                {REG_BINARY, binary, sizeof binary, true},
                {REG_DWORD, &off, sizeof off, false},
                {REG_NONE, nullptr, 0, false}};  // no value at all
  for (const auto &value : values) {
    SCOPED_TRACE(testing::Message() << "type " << value.type);
    if (value.data)
      RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, value.type,
                     static_cast<const BYTE *>(value.data), value.size);
    else
      RegDeleteValueA(desktop, "ScreenSaveUsePassword");
    script(0b1);
    // Set from outside: a saver that never touches it leaves it set.
    SetSaverRunningFlag(!value.asks);
    bool flagDuringRun = false;
    const std::vector<Step> steps = {[&](HWND) {
                                       flagDuringRun = RunningFlag();
                                       return true;
                                     },
                                     Send(WM_LBUTTONDOWN)};
    EXPECT_EQ(RunScript("/s", steps), 0);
    EXPECT_TRUE(ScriptFinished());
    EXPECT_LE(ScriptTicks(), GIVE_UP_STEPS) << "the click did not close the saver";
    EXPECT_TRUE(flagDuringRun);
    EXPECT_EQ(calls(), value.asks ? 1 : 0);
    EXPECT_EQ(callsWithFlagOn(), value.asks ? 1 : 0);
    EXPECT_EQ(RunningFlag(), !value.asks);
  }
  RegDeleteValueA(desktop, "ScreenSaveUsePassword");
  RegCloseKey(desktop);
  SetSaverRunningFlag(false);
  FreeLibrary(verifier);
}

TEST(Preview, FillsTheParentForwardsHelpFollowsItsSizeAndEndsWithTheParent) {
  constexpr int RESIZED_WIDTH = 160, RESIZED_HEIGHT = 120;
  for (const char *tail : {"/p %lu", "/l %lu", " -P   %lu"}) {
    SCOPED_TRACE(tail);
    HWND parent = nullptr;
    RECT parentClient = {}, previewClient = {};
    char title[64] = "";
    LONG style = 0;
    int patternWidth = 0, patternHeight = 0;
    POINT patternCentre = {};
    const int exitCode =
        RunScript(tail, {
                            [&](HWND preview) {
                              parent = GetParent(preview);
                              GetClientRect(parent, &parentClient);
                              GetClientRect(preview, &previewClient);
                              GetWindowTextA(preview, title, sizeof title);
                              style = GetWindowLongA(preview, GWL_STYLE);
                              SendMessageA(preview, WM_HELP, 0, 0);
                              SendMessageA(preview, WM_CONTEXTMENU, 0, 0);
                              SetWindowPos(preview, nullptr, 0, 0, RESIZED_WIDTH, RESIZED_HEIGHT,
                                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                              return true;
                            },
                            // Once the resized preview draws in its new size, the desktop ends it
                            // by destroying the parent.
                            [&](HWND) {
                              if (lineSet.windowWidth != RESIZED_WIDTH) return false;
                              patternWidth = lineSet.windowWidth;
                              patternHeight = lineSet.windowHeight;
                              patternCentre = lineSet.screenCenter;
                              DestroyWindow(parent);
                              return true;
                            },
                        });
    EXPECT_EQ(exitCode, 0);
    ASSERT_TRUE(ScriptFinished());
    EXPECT_EQ(previewClient.right, parentClient.right);
    EXPECT_EQ(previewClient.bottom, parentClient.bottom);
    EXPECT_STREQ(title, "Preview");
    EXPECT_EQ(static_cast<DWORD>(style) & 0xFFFF0000u, 0x52000000u);
    const std::vector<std::pair<UINT, WPARAM>> forwarded = {
        {WM_HELP, reinterpret_cast<WPARAM>(parent)},
        {WM_CONTEXTMENU, reinterpret_cast<WPARAM>(parent)}};
    EXPECT_EQ(ScriptHelpRequests(), forwarded);
    EXPECT_EQ(patternWidth, RESIZED_WIDTH);
    EXPECT_EQ(patternHeight, RESIZED_HEIGHT);
    EXPECT_EQ(patternCentre.x, RESIZED_WIDTH / 2);
    EXPECT_EQ(patternCentre.y, RESIZED_HEIGHT / 2);
    EXPECT_FALSE(IsWindow(parent));
  }
}
