#include "audio/buffer_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t BAND_WEIGHTS[CORRELATION_TERMS] = {1600, 120, 20, 15, 13, 10, 9, 8, 7};
constexpr int SHARE_SCALE = 121;
constexpr int16_t LEVEL_FLOOR = 32700;
constexpr int EIGHT_BIT_MIDPOINT = 127;
constexpr uint32_t SKIPPED_TERM_RATE = 44100;
constexpr double FULL_TURN = 6.283185307;

int Sample(const uint8_t *data, uint32_t index, int bits) {
  if (bits == 8) return int(data[index]) - EIGHT_BIT_MIDPOINT;
  int16_t value;
  std::memcpy(&value, data + 2 * index, sizeof value);
  return value;
}

}  // namespace

uint16_t FramesPerBufferFor(const CaptureFormat &format) {
  return format.bitsPerSample == 16 ? 512 : 256;
}

uint32_t BufferBytesFor(const CaptureFormat &format) {
  return uint32_t{FramesPerBufferFor(format)} * (format.bitsPerSample / 8) * format.channels;
}

void FillWindowTable(int32_t *table, int frames) {
  for (int i = 0; i < frames / 2; ++i) {
    const double w = 0.5001 - 0.4999 * std::cos(FULL_TURN * i / (frames - 1));
    table[i] = table[frames - 1 - i] = static_cast<int32_t>(w * 65536.0);
  }
}

bool AnalyseSamples(const uint8_t *data, uint32_t bytes, const CaptureFormat &format,
                    const int32_t *window, int frames, int16_t dcOffsets[2], LevelReport &report) {
  const int bits = format.bitsPerSample;
  const int channels = format.channels;
  // A device never records more than the buffer holds; should one claim it, the window ends.
  const uint32_t count = std::min<uint32_t>(bytes / (bits / 8) / channels, uint32_t(frames));
  if (count == 0) return false;
  const int skip = format.samplesPerSecond == SKIPPED_TERM_RATE ? 1 : 0;
  const int shift = bits == 16 ? 16 : 8;

  int32_t c[CORRELATION_TERMS] = {};
  int16_t low = LEVEL_FLOOR, high = -LEVEL_FLOOR;
  for (int j = 0; j < channels; ++j) {
    int32_t sum = 0;
    for (uint32_t i = 0; i < count; ++i) {
      const int s = Sample(data, i * channels + j, bits);
      sum += s;
      const int16_t d = static_cast<int16_t>(s - dcOffsets[j]);
      const int16_t v = static_cast<int16_t>((window[i] * d) >> shift);
      for (int k = 0; k < CORRELATION_TERMS; ++k) c[k] += (i >> k) & 1 ? v : -v;
      low = std::min(low, v);
      high = std::max(high, v);
    }
    dcOffsets[j] = static_cast<int16_t>(sum / int32_t(count));
  }

  // 64-bit: a loud high band times its weight does not fit in 32 bits.
  int64_t e[CORRELATION_TERMS] = {};
  int64_t total = 0;
  for (int k = 0; k < CORRELATION_TERMS; ++k) report.raw[k] = c[k];
  for (int k = 0; k < BAND_COUNT + skip; ++k) {
    e[k] = std::llabs(int64_t{c[k]} * BAND_WEIGHTS[k]) >> (channels + 6);
    total += e[k];
  }
  for (int b = 0; b < BAND_COUNT; ++b)
    report.shares[b] = total == 0 ? 0 : static_cast<int16_t>(e[b + skip] * SHARE_SCALE / total);
  report.level = double(high) - double(low);
  report.bandCount = BAND_COUNT;
  return true;
}
