// What the Linux program offers for finding the device that hears the music: the recording
// devices with their numbers, and a live view of what one of them hears.
#pragma once

#include <cstdio>

// Prints the recording devices; returns the exit code.
int ListAudioDevices(std::FILE *out);
// Shows the loudness and the eight band shares of device `device` as the saver measures them,
// until interrupted; returns the exit code.
int ListenToDevice(unsigned device, std::FILE *out);
