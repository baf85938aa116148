// Loudness and eight frequency bands of a buffer of PCM samples, in integer arithmetic: each
// band is the buffer's correlation with a square wave whose period is a power of two frames.
#pragma once

#include <cstdint>

#include "audio/level_report.h"

struct CaptureFormat {
  uint16_t channels = 2;
  uint32_t samplesPerSecond = 22050;
  uint16_t bitsPerSample = 16;
};

constexpr int MAX_FRAMES_PER_BUFFER = 512;

// 256 frames, 512 with 16-bit samples.
uint16_t FramesPerBufferFor(const CaptureFormat &format);
uint32_t BufferBytesFor(const CaptureFormat &format);

// The raised-cosine window in 16.16 fixed point, lifted off zero so that no frame is lost.
void FillWindowTable(int32_t *table, int frames);

// Analyses `bytes` of interleaved samples into `report`, with the window of `frames` entries.
// dcOffsets (one per channel) is what the previous buffer measured and is updated for the next.
// Returns false, leaving everything untouched, when the buffer holds no whole frame.
bool AnalyseSamples(const uint8_t *data, uint32_t bytes, const CaptureFormat &format,
                    const int32_t *window, int frames, int16_t dcOffsets[2], LevelReport &report);
