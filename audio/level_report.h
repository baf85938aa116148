// One analysed sound buffer, as it travels from the recorder window to the animation window.
#pragma once

#include <windows.h>

#include <cstdint>

// Sent synchronously; lParam is the address of the LevelReport.
constexpr UINT WM_SOUNDLEVEL = 0x047B;
constexpr int BAND_COUNT = 8;
// Square-wave terms of the analysis: eight bands, and one more at 44100 Hz, where the highest
// is dropped.
constexpr int CORRELATION_TERMS = 9;

struct LevelReport {
  double level = 0.0;  // peak-to-peak of the windowed samples
  int16_t bandCount = BAND_COUNT;
  int16_t shares[BAND_COUNT] = {};  // shares[0] the highest band; they add up to about 121
  int32_t raw[CORRELATION_TERMS] = {};
};
