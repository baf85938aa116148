#include "tools/sound_figures.h"

#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "audio/buffer_analysis.h"

namespace {

constexpr int ANALYSED_BUFFERS = 20000;
constexpr int MUSIC_SECONDS = 60;
constexpr int RATE = 22050;
constexpr double FULL_TURN = 6.283185307179586;

// A bass, a tone and a beat four times a second, in both channels.
std::vector<int16_t> Music(int frames) {
  std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    const double t = double(i) / RATE;
    const double beat = 0.5 + 0.5 * std::sin(FULL_TURN * 4 * t);
    const double s = 9000 * std::sin(FULL_TURN * 55 * t) + 7000 * beat * std::sin(FULL_TURN * 1320 * t);
    samples[2 * i] = samples[2 * i + 1] = static_cast<int16_t>(s);
  }
  return samples;
}

}  // namespace

double AnalysisMicrosecondsPerBuffer() {
  const CaptureFormat format;  // 2 channels, 22050 Hz, 16 bits: 512 frames
  const int frames = FramesPerBufferFor(format);
  std::vector<int32_t> window(static_cast<size_t>(frames));
  FillWindowTable(window.data(), frames);
  const std::vector<int16_t> music = Music(frames * 8);
  int16_t dcOffsets[2] = {0, 0};
  LevelReport report;
  double levels = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < ANALYSED_BUFFERS; ++n) {
    const int16_t *buffer = music.data() + size_t(n % 8) * frames * 2;
    AnalyseSamples(reinterpret_cast<const uint8_t *>(buffer), BufferBytesFor(format), format,
                   window.data(), frames, dcOffsets, report);
    levels += report.level;  // keeps the work from being optimised away
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return levels > 0 ? seconds * 1e6 / ANALYSED_BUFFERS : 0;
}

bool ListenToFile(const std::string &path, bool music) {
  const std::vector<int16_t> sound =
      music ? Music(RATE * MUSIC_SECONDS) : std::vector<int16_t>(size_t{RATE} * MUSIC_SECONDS * 2, 0);
  FILE *out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(sound.data(), sizeof sound[0], sound.size(), out) == sound.size();
  std::fclose(out);
  if (!written) return false;
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILEIN", path.c_str(), 1);
  return true;
}

void StopListeningToFile() {
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("SDL_DISKAUDIOFILEIN");
}
