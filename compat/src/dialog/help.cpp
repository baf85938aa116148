// WinHelpA on Linux: the help file's name picks an HTML page shipped beside the program
// ("x.hlp" -> "x.html"), a keyword becomes the page's anchor, and xdg-open shows it. The call
// fails when there is no page, no display or no browser, so the caller's fallback shows.
#include <windows.h>

#include <limits.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "compat/testing.h"

extern char **environ;

namespace {

std::string ProgramDirectory() {
  char path[PATH_MAX] = "";
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string full(path, static_cast<size_t>(n));
  return full.substr(0, full.find_last_of('/'));
}

bool IsFile(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The page for a help file: next to the program, or in ../share/lumivane/ of an installation.
std::string HelpPage(const char *helpFile) {
  std::string name = helpFile;
  name = name.substr(name.find_last_of("/\\") + 1);
  const size_t dot = name.find_last_of('.');
  name = (dot == std::string::npos ? name : name.substr(0, dot)) + ".html";
  for (char &c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string dir = ProgramDirectory();
  for (const std::string &candidate : {dir + "/" + name, dir + "/../share/lumivane/" + name})
    if (IsFile(candidate)) {
      char real[PATH_MAX];
      return realpath(candidate.c_str(), real) ? real : candidate;
    }
  return "";
}

// "Speed Limit" -> "speed-limit".
std::string Anchor(const char *keyword) {
  std::string anchor;
  for (const char *p = keyword; *p; ++p)
    anchor += *p == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  return anchor;
}

// xdg-open normally hands the page to a browser and ends at once; a non-zero end means none
// could be asked. One still running after a while is taken as showing the page.
bool Open(const std::string &url) {
  const char *opener = std::getenv("LUMIVANE_HELP_OPENER");
  std::string program = opener && *opener ? opener : "xdg-open";
  char *argv[] = {program.data(), const_cast<char *>(url.c_str()), nullptr};
  pid_t child;
  if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  for (int waited = 0; waited < 3000; waited += 10) {
    int status = 0;
    pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0) return false;
    usleep(10000);
  }
  return true;
}

}  // namespace

BOOL WinHelpA(HWND, LPCSTR helpFile, UINT command, ULONG_PTR data) {
  if (!helpFile || command == HELP_QUIT) return command == HELP_QUIT;
  const char *display = std::getenv("DISPLAY");
  if (compat::testing::HeadlessActive() && !std::getenv("LUMIVANE_HELP_OPENER")) return FALSE;
  if (!compat::testing::HeadlessActive() && (!display || !*display)) return FALSE;
  const std::string page = HelpPage(helpFile);
  if (page.empty()) return FALSE;
  std::string url = "file://" + page;
  if (command == HELP_KEY && data) url += "#" + Anchor(reinterpret_cast<const char *>(data));
  return Open(url) ? TRUE : FALSE;
}
