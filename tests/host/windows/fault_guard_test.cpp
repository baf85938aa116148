// The fault guard in a process that really faults: its test build (fault_probe.exe) sets the
// screen-saver-running flag, installs the guard and writes into a page that allows no access.
// Wine's debugger is kept from starting for the probe's fault.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct ProbeRun {
  DWORD exitCode = STILL_ACTIVE;  // still so when it hung
  std::string report;
};

// Runs the guard's test build beside this program and collects what it reports.
ProbeRun RunFaultProbe() {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string command = self;
  command = "\"" + command.substr(0, command.find_last_of("\\/") + 1) + "fault_probe.exe\"";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ProbeRun run;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (started) {
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
      GetExitCodeProcess(process.hProcess, &run.exitCode);
    else
      TerminateProcess(process.hProcess, 1);
    char chunk[4096];
    DWORD got = 0;
    // At most a few pipefuls: a guard that loops must not keep this test reading forever.
    for (int reads = 0; reads < 64 && ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0; ++reads)
      run.report.append(chunk, got);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  return run;
}

// No debugger for unhandled faults while a test runs: with automatic start and no debugger
// named, the system's default filter ends the faulting process itself instead of asking.
// The previous settings come back afterwards.
class NoFaultDebugger {
 public:
  NoFaultDebugger() {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    saved_ = Read("Debugger");
    savedAuto_ = Read("Auto");
    Write("Debugger", "");
    Write("Auto", "1");
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

TEST(FaultGuard, AFaultClearsTheRunningFlagOnceAndEndsTheProcess) {
  NoFaultDebugger noDebugger;
  const ProbeRun run = RunFaultProbe();
  EXPECT_EQ(run.exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  // Windows uses CR LF on the console; the report is compared line by line.
  std::string report;
  for (char c : run.report)
    if (c != '\r') report += c;
  EXPECT_EQ(report, "running flag on\nrunning flag off\n");
}
