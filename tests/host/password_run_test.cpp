// The full-screen saver with a saver password: the real SaverMain against a stand-in verifier
// library named "PASSWORD.CPL" and the desktop's real registry value.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "host/saver_main.h"
#include "host/saver_window.h"
#include "saver_script.h"

namespace {

typedef void(WINAPI *ScriptVerifierFn)(int answers);
typedef int(WINAPI *CountFn)();

constexpr char DESKTOP_KEY[] = "Control Panel\\Desktop";
constexpr char USE_PASSWORD[] = "ScreenSaveUsePassword";

class PasswordRun : public ::testing::Test {
 protected:
  void SetUp() override {
    verifier = LoadLibraryA("PASSWORD.CPL");
    ASSERT_NE(verifier, nullptr);
    script = reinterpret_cast<ScriptVerifierFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(verifier, "ScriptVerifier")));
    calls = reinterpret_cast<CountFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(verifier, "VerifierCalls")));
    callsWithFlagOn = reinterpret_cast<CountFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(verifier, "VerifierCallsWithFlagOn")));
    ASSERT_TRUE(script && calls && callsWithFlagOn);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &desktop), ERROR_SUCCESS);
  }
  void TearDown() override {
    if (desktop) {
      RegDeleteValueA(desktop, USE_PASSWORD);
      RegCloseKey(desktop);
    }
    SetSaverRunningFlag(false);
    if (verifier) FreeLibrary(verifier);
  }
  void SetUsePassword(DWORD type, const void *data, DWORD size) {
    ASSERT_EQ(RegSetValueExA(desktop, USE_PASSWORD, 0, type, static_cast<const BYTE *>(data), size),
              ERROR_SUCCESS);
  }

  HMODULE verifier = nullptr;
  HKEY desktop = nullptr;
  ScriptVerifierFn script = nullptr;
  CountFn calls = nullptr;
  CountFn callsWithFlagOn = nullptr;
};

bool RunningFlag() {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return running != FALSE;
}

}  // namespace

TEST_F(PasswordRun, WrongPasswordKeepsTheSaverAndTheFlagIsOnForTheWholeRun) {
  const DWORD on = 1;
  const char text[] = "1";
  const BYTE binary[] = {0, 0, 1, 0};
  struct Variant {
    DWORD type;
    const void *data;
    DWORD size;
  } variants[] = {{REG_DWORD, &on, sizeof on},
                  {REG_SZ, text, sizeof text},
                  {REG_BINARY, binary, sizeof binary}};
  for (const Variant &variant : variants) {
    SetUsePassword(variant.type, variant.data, variant.size);
    script(0b10);  // wrong, then right
    bool flagDuringRun = false;
    bool survivedWrongPassword = false;
    const int exitCode = RunFullScreen({
        [&](HWND) {
          flagDuringRun = RunningFlag();
          return true;
        },
        [&](HWND saver) {
          // The wrong answer, then at once a key whose close request falls in the 200 ms.
          SendMessageA(saver, WM_CLOSE, 0, 0);
          SendMessageA(saver, WM_KEYDOWN, 'A', 0);
          return true;
        },
        [&](HWND saver) {
          survivedWrongPassword = IsWindow(saver) && calls() == 1;
          return true;
        },
        Wait(250),
        Send(WM_LBUTTONDOWN),
    });
    EXPECT_EQ(exitCode, 0) << "type " << variant.type;
    EXPECT_TRUE(ScriptFinished()) << "type " << variant.type;
    EXPECT_LE(ScriptTicks(), GIVE_UP_STEPS) << "the right password did not close the saver";
    EXPECT_TRUE(flagDuringRun) << "type " << variant.type;
    EXPECT_TRUE(survivedWrongPassword) << "type " << variant.type;
    EXPECT_EQ(calls(), 2);
    EXPECT_EQ(callsWithFlagOn(), 2);
    EXPECT_FALSE(RunningFlag()) << "type " << variant.type;
  }
}

TEST_F(PasswordRun, WithoutTheDesktopValueTheFlagIsNeverTouchedAndNoPasswordIsAsked) {
  const DWORD off = 0;
  for (bool present : {true, false}) {
    if (present) SetUsePassword(REG_DWORD, &off, sizeof off);
    else RegDeleteValueA(desktop, USE_PASSWORD);
    script(0);
    // Set from outside: a saver that never touches it leaves it set.
    SetSaverRunningFlag(true);
    const int exitCode = RunFullScreen({Send(WM_KEYDOWN, 'A')});
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(calls(), 0);
    EXPECT_TRUE(RunningFlag()) << (present ? "value 0" : "no value");
    SetSaverRunningFlag(false);
  }
}
