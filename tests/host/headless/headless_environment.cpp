// Every host test on Linux runs on the headless backend: a virtual clock, a 1024 x 768 palette
// screen, settings in a private folder, and the stand-in password verifier registered under
// the system library's name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "compat/testing.h"
#include "headless_scene.h"
#include "host/password_cpl/stand_in_verifier.h"

namespace {

FARPROC Entry(void *function) { return reinterpret_cast<FARPROC>(function); }

class HeadlessPerTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo &) override { FreshHeadlessScene(); }
};

const bool installed = [] {
  char folder[] = "/tmp/lumivane-host-tests-XXXXXX";
  if (mkdtemp(folder)) setenv("LUMIVANE_HOME", folder, 1);
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
}
