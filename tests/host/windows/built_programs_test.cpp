// Programs the build makes, beside this test program: the built LUMIVA95.SCR as the desktop
// reads it without running it, and the fault guard in a process that really faults (its test
// build fault_probe.exe).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_files.h"

namespace {

std::string BesideThisProgram(const std::string &name) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  const std::string path = self;
  return path.substr(0, path.find_last_of("\\/") + 1) + name;
}

std::string String(HMODULE module, UINT id) {
  char text[256] = "";
  return LoadStringA(module, id, text, sizeof text) > 0 ? text : "<missing>";
}

std::string FileDescription(const std::string &path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return "<no version information>";
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return "<unreadable>";
  char *text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\FileDescription",
                      reinterpret_cast<void **>(&text), &length))
    return "<no description>";
  return text;
}

// No debugger for unhandled faults while a test runs: with automatic start and no debugger
// named, the system's default filter ends the faulting process itself instead of asking.
// The previous settings come back afterwards.
class NoFaultDebugger {
 public:
  NoFaultDebugger() {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug",
                    0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    savedDebugger_ = Exchange("Debugger", "");
    savedAuto_ = Exchange("Auto", "1");
  }
  ~NoFaultDebugger() {
    Exchange("Debugger", savedDebugger_);
    Exchange("Auto", savedAuto_);
    RegCloseKey(key_);
  }

 private:
  // Sets the value and returns what it was.
  std::string Exchange(const char *name, const std::string &value) {
    char previous[512] = "";
    DWORD size = sizeof previous;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE *>(previous), &size) !=
        ERROR_SUCCESS)
      previous[0] = '\0';
    RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    return previous;
  }
  HKEY key_ = nullptr;
  std::string savedDebugger_, savedAuto_;
};

}  // namespace

TEST(BuiltPrograms, TheModuleHasItsNameDescriptionIconStringsAndExports) {
  const std::string path = BesideThisProgram(SCR_RELATIVE_PATH);
  HMODULE module = LoadLibraryA(path.c_str());
  ASSERT_NE(module, nullptr) << path;
  EXPECT_EQ(String(module, 0), "Lumivane 95");
  EXPECT_EQ(String(module, 1), "Lumivane 95");
  EXPECT_EQ(String(module, 1001), "control.ini");
  EXPECT_EQ(String(module, 1009), "lumiva95.hlp");
  EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(100)), nullptr);
  EXPECT_EQ(FileDescription(path), "SCRNSAVE : Lumivane 95");

  FARPROC saverProc = GetProcAddress(module, "ScreenSaverProc");
  FARPROC configureDialog = GetProcAddress(module, "ScreenSaverConfigureDialog");
  EXPECT_NE(saverProc, nullptr);
  EXPECT_NE(configureDialog, nullptr);
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(1)), saverProc);
  EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(2)), configureDialog);
  FreeLibrary(module);
}

// The probe sets the running flag, installs the guard and writes into a page that allows no
// access; it notes each change of the flag in the report file it is given.
TEST(BuiltPrograms, AFaultClearsTheRunningFlagOnceAndEndsTheProcess) {
  NoFaultDebugger noDebugger;
  const TempFolder folder("fault-guard");
  const std::string report = folder.File("report");
  std::string command = "\"" + BesideThisProgram("fault_probe.exe") + "\" \"" + report + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process))
      << command;
  DWORD exitCode = STILL_ACTIVE;  // still so when it hangs
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &exitCode);
  else
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_EQ(FileBytes(report), "running flag on\nrunning flag off\n");
}
