// A stand-in for the system's password verifier "PASSWORD.CPL": answers as a test scripts it
// and notes whether the screen-saver-running flag was on while it was asked. Windows loads it
// as a library file; on Linux the test registers these functions under the library's name.
#pragma once

#include <windows.h>

extern "C" {
BOOL WINAPI VerifyScreenSavePwd(HWND window);
// Bit n of answers is the answer to the n-th question; counters start again.
void WINAPI ScriptVerifier(int answers);
int WINAPI VerifierCalls();
int WINAPI VerifierCallsWithFlagOn();
}
