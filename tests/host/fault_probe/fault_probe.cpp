// A test build of the fault guard: the guard as the module has it, with a running-flag setter
// that also notes each call in the report file the command line names, and a real access
// violation after the flag has been set. Started by the fault guard test, which reads the
// report and the exit code.
#include <windows.h>

#include <cstdio>

#include "host/fault_guard.h"
#include "host/saver_window.h"

namespace {
FILE *report = nullptr;
}  // namespace

// Written and flushed at once: the process may end at any moment after.
void SetSaverRunningFlag(bool on) {
  BOOL previous = FALSE;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on ? TRUE : FALSE, &previous, 0);
  BOOL now = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &now, 0);
  std::fprintf(report, "running flag %s\n", now ? "on" : "off");
  std::fflush(report);
}

int main(int argc, char **argv) {
  if (argc < 2 || (report = std::fopen(argv[1], "wb")) == nullptr) return 2;
  InstallFaultGuard();
  SetSaverRunningFlag(true);
  // A write into a page that allows no access: a real access violation, whatever lies at 0.
  auto *page = static_cast<volatile int *>(
      VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS));
  if (page != nullptr) *page = 1;
  std::fprintf(report, "no fault\n");
  return 0;
}
