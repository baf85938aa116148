#include <windows.h>

#include <csignal>

#include "host/fault_guard.h"
#include "host/saver_window.h"

namespace {

constexpr int FATAL_SIGNALS[] = {SIGSEGV, SIGFPE, SIGILL, SIGABRT};

// The process still ends as the signal demands; only the flag is cleared on the way.
void ClearRunningFlagOnFault(int signal) {
  SetSaverRunningFlag(false);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

void InstallFaultGuard() {
  for (int signal : FATAL_SIGNALS) std::signal(signal, ClearRunningFlagOnFault);
}
