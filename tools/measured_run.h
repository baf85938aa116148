// One full-screen run of the real saver ("/s") on a real display, timed by the wall clock:
// after a warm-up, the processor time and draw-timer ticks of a measured stretch, then a close
// as after a dismissal, so the saver records its own throughput (LastSpeed).
#pragma once

#include <functional>
#include <string>

struct RunFigures {
  long lastSpeed = 0;        // lines per second, as the saver wrote it when it closed
  int ticks = 0;             // draw-timer ticks in the measured stretch
  double lines = 0;          // segments the renderer drew in the measured stretch
  double linesPerSet = 0;    // segments of one complete line set of the design shown
  double cpuSeconds = 0;     // processor time of this process in the measured stretch
  double wallSeconds = 0;    // length of the measured stretch
  double frames = 0;         // frames presented in the measured stretch
  double otherCpuSeconds = 0;  // of the process `otherCpu` reads, in the measured stretch
};

// The display, seed and settings folder come from the environment, as for the saver itself.
// `otherCpu`, when given, reads another process's processor time in seconds (the X server's),
// sampled at the ends of the measured stretch.
bool RunSaverMeasured(double warmUpSeconds, double seconds, RunFigures *figures,
                      std::string *error, const std::function<double()> &otherCpu = nullptr);
