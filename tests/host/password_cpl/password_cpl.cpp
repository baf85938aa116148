// A stand-in for the system's password verifier "PASSWORD.CPL": answers as a test scripts it
// and notes whether the screen-saver-running flag was on while it was asked.
#include <windows.h>

namespace {
int scriptedAnswers = 0;  // bit n: answer of the n-th call
int calls = 0;
int callsWithFlagOn = 0;
}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND) {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  if (running) ++callsWithFlagOn;
  return (scriptedAnswers >> calls++) & 1;
}

extern "C" __declspec(dllexport) void WINAPI ScriptVerifier(int answers) {
  scriptedAnswers = answers;
  calls = 0;
  callsWithFlagOn = 0;
}

extern "C" __declspec(dllexport) int WINAPI VerifierCalls() { return calls; }
extern "C" __declspec(dllexport) int WINAPI VerifierCallsWithFlagOn() { return callsWithFlagOn; }
