// Host tests on Linux find the stand-in password verifier under the system library's name in
// every headless scene.
#include <windows.h>

#include "common/headless_scene.h"
#include "host/password_cpl/stand_in_verifier.h"

namespace {

FARPROC Entry(void *function) { return reinterpret_cast<FARPROC>(function); }

void RegisterStandInVerifier() {
  compat::testing::RegisterModule(
      "PASSWORD.CPL",
      {{"VerifyScreenSavePwd", Entry(reinterpret_cast<void *>(VerifyScreenSavePwd))},
       {"ScriptVerifier", Entry(reinterpret_cast<void *>(ScriptVerifier))},
       {"VerifierCalls", Entry(reinterpret_cast<void *>(VerifierCalls))},
       {"VerifierCallsWithFlagOn", Entry(reinterpret_cast<void *>(VerifierCallsWithFlagOn))}});
}

const bool registered = (AddToEveryScene(RegisterStandInVerifier), true);

}  // namespace
