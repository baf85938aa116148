#include <windows.h>

#include "host/fault_guard.h"
#include "host/saver_window.h"

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

// MinGW has no __try; the process-wide filter sees every fault nothing else handled.
LONG WINAPI ClearRunningFlagOnFault(EXCEPTION_POINTERS *fault) {
  // The system's default filter calls the process's top-level filter, which is this one: the
  // top level goes back to what it was first, or the call below would enter here again.
  SetUnhandledExceptionFilter(previousFilter);
  const LONG decision = UnhandledExceptionFilter(fault);
  if (decision == EXCEPTION_EXECUTE_HANDLER) SetSaverRunningFlag(false);
  return decision;
}

}  // namespace

void InstallFaultGuard() { previousFilter = SetUnhandledExceptionFilter(ClearRunningFlagOnFault); }
