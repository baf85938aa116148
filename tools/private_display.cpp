#include "tools/private_display.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

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
  if (server_ <= 0) return 0;
  // The scheduler's count of each thread's time on a processor, in nanoseconds: the clock
  // ticks of /proc/PID/stat are 10 ms, too coarse for a share of a percent or two over a few
  // seconds.
  const std::string tasks = "/proc/" + std::to_string(server_) + "/task";
  DIR *folder = opendir(tasks.c_str());
  if (folder == nullptr) return 0;
  double nanoseconds = 0;
  while (const dirent *task = readdir(folder)) {
    if (task->d_name[0] == '.') continue;
    std::ifstream in(tasks + "/" + task->d_name + "/schedstat");
    double onProcessor = 0;
    if (in >> onProcessor) nanoseconds += onProcessor;
  }
  closedir(folder);
  return nanoseconds * 1e-9;
}
