// The fault guard in a process that really faults: this test program started again as a
// helper that sets the screen-saver-running flag, installs the guard and writes through a null
// pointer. Wine's debugger is kept from starting for the helper's fault.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host/fault_guard.h"
#include "host/saver_window.h"

namespace {

const char *Role() { return std::getenv("LUMIVANE_FAULT_HELPER"); }

bool RunningFlag() {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return running != FALSE;
}

// Runs this program as the named helper; its exit code, or STILL_ACTIVE when it hung.
DWORD RunHelper(const char *role) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string command = std::string("\"") + self +
                        "\" --gtest_catch_exceptions=0 --gtest_filter=FaultHelper." + role;
  SetEnvironmentVariableA("LUMIVANE_FAULT_HELPER", role);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &process);
  SetEnvironmentVariableA("LUMIVANE_FAULT_HELPER", nullptr);
  if (!started) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  else
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

// No debugger for unhandled faults while a test runs: the system's default filter then ends
// the faulting process itself. The previous settings come back afterwards.
class NoFaultDebugger {
 public:
  NoFaultDebugger() {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    saved_ = Read("Debugger");
    savedAuto_ = Read("Auto");
    Write("Debugger", "");
    Write("Auto", "0");
  }
  ~NoFaultDebugger() {
    Write("Debugger", saved_);
    Write("Auto", savedAuto_);
    RegCloseKey(key_);
  }

 private:
  std::string Read(const char *name) {
    char value[512] = "";
    DWORD size = sizeof value;
    return RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE *>(value), &size) == ERROR_SUCCESS
               ? value
               : "";
  }
  void Write(const char *name, const std::string &value) {
    RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  HKEY key_ = nullptr;
  std::string saved_, savedAuto_;
};

}  // namespace

TEST(FaultGuard, AFaultClearsTheRunningFlagAndEndsTheProcess) {
  NoFaultDebugger noDebugger;
  SetSaverRunningFlag(false);
  // The flag a helper sets is seen here: the check below means something.
  EXPECT_EQ(RunHelper("SetsTheFlag"), 0u);
  EXPECT_TRUE(RunningFlag());

  EXPECT_EQ(RunHelper("Faults"), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_FALSE(RunningFlag()) << "the fault left the screen-saver-running flag set";
  SetSaverRunningFlag(false);
}

TEST(FaultHelper, SetsTheFlag) {
  if (Role() == nullptr) GTEST_SKIP() << "runs only as a helper process";
  SetSaverRunningFlag(true);
}

TEST(FaultHelper, Faults) {
  if (Role() == nullptr) GTEST_SKIP() << "runs only as a helper process";
  InstallFaultGuard();
  SetSaverRunningFlag(true);
  // Read through a volatile pointer, so the compiler cannot see the fault coming.
  int *volatile nowhere = nullptr;
  *nowhere = 1;
}
