#include "host/fault_guard.h"

// The screen-saver-running flag is held for this process by the window system, which drops it
// when the process ends in any way, a fault included: nothing has to run in a dying process,
// where no window-system call would be safe. A fault ends the process as the signal demands.
void InstallFaultGuard() {}
