#include "tools/private_display.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

constexpr int STARTUP_TIMEOUT_MS = 15000;

}  // namespace

PrivateDisplay::PrivateDisplay(int width, int height) {
  int ready[2];
  if (pipe(ready) != 0) {
    error_ = "cannot create a pipe";
    return;
  }
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string fd = std::to_string(ready[1]);
  server_ = fork();
  if (server_ == 0) {
    close(ready[0]);
    // Xvfb picks a free display number itself and writes it to the pipe once it is ready.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
           "tcp", "-noreset", static_cast<char *>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  if (server_ < 0) {
    close(ready[0]);
    error_ = "cannot start Xvfb";
    return;
  }
  std::string number;
  pollfd wait{ready[0], POLLIN, 0};
  while (poll(&wait, 1, STARTUP_TIMEOUT_MS) > 0) {
    char c;
    if (read(ready[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(ready[0]);
  if (number.empty()) {
    error_ = "Xvfb did not start (is it installed?)";
    return;
  }
  name_ = ":" + number;
}

PrivateDisplay::~PrivateDisplay() {
  if (server_ <= 0) return;
  kill(server_, SIGTERM);
  waitpid(server_, nullptr, 0);
}

double PrivateDisplay::CpuSeconds() const {
  std::ifstream in("/proc/" + std::to_string(server_) + "/stat");
  std::string line;
  if (server_ <= 0 || !std::getline(in, line)) return 0;
  // Fields after the command name, which ends at the last ')': utime and stime are 14 and 15.
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int index = 3; fields >> field; ++index) {
    if (index == 14) utime = std::stoull(field);
    if (index == 15) {
      stime = std::stoull(field);
      break;
    }
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}
