#include "stand_in_verifier.h"

namespace {
int scriptedAnswers = 0;
int calls = 0;
int callsWithFlagOn = 0;
}  // namespace

BOOL WINAPI VerifyScreenSavePwd(HWND) {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  if (running) ++callsWithFlagOn;
  return (scriptedAnswers >> calls++) & 1;
}

void WINAPI ScriptVerifier(int answers) {
  scriptedAnswers = answers;
  calls = 0;
  callsWithFlagOn = 0;
}

int WINAPI VerifierCalls() { return calls; }
int WINAPI VerifierCallsWithFlagOn() { return callsWithFlagOn; }
