// The sound figures of lumivane-bench: what the analysis of one buffer costs, and the input
// that lets a benchmark run listen.
#pragma once

#include <string>

// Microseconds for one 512-frame 16-bit stereo buffer, the saver's default, averaged.
double AnalysisMicrosecondsPerBuffer();

// Makes SDL's "disk" driver the process's sound device, recording from a file written at
// `path`, of loud, varying sound or of silence, for the runs started after it. False when the
// file cannot be written.
bool ListenToFile(const std::string &path, bool music);
void StopListeningToFile();
