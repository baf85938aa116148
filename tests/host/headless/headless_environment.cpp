// Every host test on Linux runs on the headless backend: a virtual clock, a 1024 x 768 palette
// screen, settings in a private folder, and the stand-in password verifier registered under
// the system library's name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/temp_files.h"
#include "compat/testing.h"
#include "headless_scene.h"
#include "host/password_cpl/stand_in_verifier.h"
#include "host/saver_window.h"

namespace {

FARPROC Entry(void *function) { return reinterpret_cast<FARPROC>(function); }

DWORD start = 0;

class HeadlessPerTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo &) override { FreshHeadlessScene(); }
};

const bool installed = [] {
  static const TempFolder home("host-tests");
  setenv("LUMIVANE_HOME", home.Path().c_str(), 1);
  compat::testing::UseHeadless();
  ::testing::UnitTest::GetInstance()->listeners().Append(new HeadlessPerTest);
  return true;
}();

}  // namespace

void FreshHeadlessScene() {
  compat::testing::ResetHeadless();
  compat::testing::SetScreenSize(1024, 768);
  compat::testing::RegisterModule(
      "PASSWORD.CPL", {{"VerifyScreenSavePwd", Entry(reinterpret_cast<void *>(VerifyScreenSavePwd))},
                       {"ScriptVerifier", Entry(reinterpret_cast<void *>(ScriptVerifier))},
                       {"VerifierCalls", Entry(reinterpret_cast<void *>(VerifierCalls))},
                       {"VerifierCallsWithFlagOn",
                        Entry(reinterpret_cast<void *>(VerifierCallsWithFlagOn))}});
  start = compat::testing::Now();
}

DWORD At(DWORD offset) { return start + offset; }
DWORD Elapsed() { return compat::testing::Now() - start; }
HWND Saver() { return FindWindowA(SAVER_CLASS_NAME, SAVER_FULLSCREEN_TITLE); }

bool RunningFlag() {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return running != FALSE;
}
