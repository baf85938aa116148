// An X server of the bench's own (Xvfb), so that every run sees the same screen size and
// never draws over the user's desktop.
#pragma once

#include <sys/types.h>

#include <string>

class PrivateDisplay {
 public:
  // Starts Xvfb at width x height x 24 and waits until it accepts clients.
  PrivateDisplay(int width, int height);
  ~PrivateDisplay();
  PrivateDisplay(const PrivateDisplay &) = delete;
  PrivateDisplay &operator=(const PrivateDisplay &) = delete;

  bool ok() const { return !name_.empty(); }
  const std::string &name() const { return name_; }  // e.g. ":37"
  const std::string &error() const { return error_; }
  // Processor time the server has used so far, in seconds.
  double CpuSeconds() const;

 private:
  pid_t server_ = -1;
  std::string name_;
  std::string error_;
};
