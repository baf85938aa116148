// Process plumbing: the command line as Windows hands it over, startup information, exit.
#include <windows.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace compat {

namespace {

// One argument quoted the way the C runtime takes it apart again.
std::string Quote(const std::string &argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string WithoutQuotes(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
  return text;
}

std::string CommandLineFromProc() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string line;
  size_t start = 0;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\0') continue;
    const std::string argument = raw.substr(start, i - start);
    // The program's path is always quoted, as the desktop starts a saver. A Windows path
    // holds no '"' and the command tail ends the path at the next one, so none is kept.
    line += start == 0 ? "\"" + WithoutQuotes(argument) + "\"" : " " + Quote(argument);
    start = i + 1;
  }
  return line;
}

}  // namespace

}  // namespace compat

using namespace compat;

LPSTR GetCommandLineA() {
  static std::string commandLine = CommandLineFromProc();
  return commandLine.data();
}

BOOL IsDBCSLeadByte(BYTE) { return FALSE; }

void ExitProcess(UINT exitCode) { std::exit(static_cast<int>(exitCode)); }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

DWORD GetCurrentThreadId() {
  // Ids of our own, handed out as each thread first asks; never zero, the id of no thread.
  static std::atomic<DWORD> nextThreadId{0x100};
  thread_local const DWORD id = nextThreadId.fetch_add(1);
  return id;
}
