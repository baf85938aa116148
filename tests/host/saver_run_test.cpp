// The real SaverMain and message loop, full-screen and as a preview in a window of the test,
// with the desktop's real registry value and a stand-in verifier library named "PASSWORD.CPL".
#include <windows.h>

#include <gtest/gtest.h>

#include "host/saver_window.h"
#include "saver_script.h"

namespace {

template <typename Function>
Function Export(HMODULE module, const char *name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

// Where the window lies and that it is topmost the end-to-end runs check on both platforms.
TEST(FullScreen, AnyTrueDesktopValueAsksWithTheFlagOnTitleAndTaskSwitchesStayAndInputEndsIt) {
  HMODULE verifier = LoadLibraryA("PASSWORD.CPL");
  ASSERT_NE(verifier, nullptr);
  const auto script = Export<void(WINAPI *)(int)>(verifier, "ScriptVerifier");
  const auto calls = Export<int(WINAPI *)()>(verifier, "VerifierCalls");
  const auto callsWithFlagOn = Export<int(WINAPI *)()>(verifier, "VerifierCallsWithFlagOn");
  ASSERT_TRUE(script && calls && callsWithFlagOn);

  const DWORD on = 1, off = 0;
  const BYTE binary[] = {0, 0, 1, 0};
  // Full screen after any run of spaces, slashes and hyphens, and by the first letter only.
  const struct {
    const char *tail;
    DWORD type;  // REG_NONE: no value at all
    const void *data;
    DWORD size;
    bool asks;
    UINT dismissal;
  } runs[] = {{"/s", REG_DWORD, &on, sizeof on, true, WM_LBUTTONDOWN},
              {"/ - s", REG_SZ, "1", 2, true, WM_KEYDOWN},
              {"/scr", REG_BINARY, binary, sizeof binary, true, WM_RBUTTONDOWN},
              {"S", REG_DWORD, &off, sizeof off, false, WM_KEYDOWN},
              {"--/s extra", REG_NONE, nullptr, 0, false, WM_LBUTTONDOWN}};
  for (const auto &run : runs) {
    SCOPED_TRACE(run.tail);
    SetPasswordValue(run.type, run.data, run.size);
    script(0b1);
    // Set from outside: a saver that never touches it leaves it set.
    SetSaverRunningFlag(!run.asks);
    bool flagDuringRun = false;
    char title[32] = "";
    const int exitCode =
        RunScript(run.tail, {[&](HWND saver) {
                               flagDuringRun = RunningFlag();
                               SetWindowTextA(saver, "Renamed");
                               GetWindowTextA(saver, title, sizeof title);
                               return true;
                             },
                             Send(WM_SYSCOMMAND, SC_NEXTWINDOW), Send(WM_SYSCOMMAND, SC_PREVWINDOW),
                             Send(WM_SYSCOMMAND, SC_SCREENSAVE), Send(run.dismissal)});
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(ScriptCompleted()) << "dismissed early or not at all";
    EXPECT_STREQ(title, "Screen Saver");
    EXPECT_EQ(FindWindowA(SAVER_CLASS_NAME, nullptr), nullptr);
    EXPECT_TRUE(flagDuringRun);
    EXPECT_EQ(calls(), run.asks ? 1 : 0);
    EXPECT_EQ(callsWithFlagOn(), run.asks ? 1 : 0);
    EXPECT_EQ(RunningFlag(), !run.asks);
  }
  SetPasswordValue(REG_NONE);
  SetSaverRunningFlag(false);
  FreeLibrary(verifier);
}

// That it draws inside its parent, follows its size and ends with it the end-to-end runs check.
TEST(Preview, FillsTheParentAndForwardsHelpToIt) {
  for (const char *tail : {"/p %lu", "/l %lu", " -P   %lu"}) {
    SCOPED_TRACE(tail);
    HWND parent = nullptr;
    RECT parentClient = {}, previewClient = {};
    char title[64] = "";
    LONG style = 0;
    const int exitCode =
        RunScript(tail, {[&](HWND preview) {
                           parent = GetParent(preview);
                           GetClientRect(parent, &parentClient);
                           GetClientRect(preview, &previewClient);
                           GetWindowTextA(preview, title, sizeof title);
                           style = GetWindowLongA(preview, GWL_STYLE);
                           SendMessageA(preview, WM_HELP, 0, 0);
                           SendMessageA(preview, WM_CONTEXTMENU, 0, 0);
                           return true;
                         },
                         // The forwarded requests are posted; the parent goes after.
                         [&](HWND) { return DestroyWindow(parent) != FALSE; }});
    EXPECT_EQ(exitCode, 0);
    ASSERT_TRUE(ScriptCompleted());
    EXPECT_EQ(previewClient.right, parentClient.right);
    EXPECT_EQ(previewClient.bottom, parentClient.bottom);
    EXPECT_STREQ(title, "Preview");
    EXPECT_EQ(static_cast<DWORD>(style) & 0xFFFF0000u, 0x52000000u);
    const std::vector<std::pair<UINT, WPARAM>> forwarded = {
        {WM_HELP, reinterpret_cast<WPARAM>(parent)},
        {WM_CONTEXTMENU, reinterpret_cast<WPARAM>(parent)}};
    EXPECT_EQ(ScriptHelpRequests(), forwarded);
  }
}
