#include <windows.h>

#include "host/fault_guard.h"
#include "host/saver_window.h"

namespace {

// MinGW has no __try; the process-wide filter sees every fault nothing else handled.
LONG WINAPI ClearRunningFlagOnFault(EXCEPTION_POINTERS *fault) {
  const LONG decision = UnhandledExceptionFilter(fault);
  if (decision == EXCEPTION_EXECUTE_HANDLER) SetSaverRunningFlag(false);
  return decision;
}

}  // namespace

void InstallFaultGuard() { SetUnhandledExceptionFilter(ClearRunningFlagOnFault); }
