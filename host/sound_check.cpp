#include "host/sound_check.h"

#include <windows.h>
#include <mmsystem.h>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include "audio/buffer_analysis.h"
#include "audio/sound_capture.h"

namespace {

constexpr DWORD REFRESH_MS = 100;
constexpr int BAR_WIDTH = 30;
constexpr double FULL_LEVEL = 65535;
const char *const BAND_NAMES[BAND_COUNT] = {"11k", "5.5k", "2.8k", "1.4k", "689", "345", "172", "86"};

volatile std::sig_atomic_t interrupted = 0;

void Interrupt(int) { interrupted = 1; }

void PrintReport(std::FILE *out, const LevelReport &report, bool terminal) {
  const int filled = static_cast<int>(report.level / FULL_LEVEL * BAR_WIDTH + 0.5);
  std::string bar(static_cast<size_t>(std::min(filled, BAR_WIDTH)), '#');
  bar.resize(BAR_WIDTH, '.');
  std::fprintf(out, "%slevel %5.0f %s ", terminal ? "\r" : "", report.level, bar.c_str());
  for (int b = 0; b < BAND_COUNT; ++b) std::fprintf(out, " %s:%3d", BAND_NAMES[b], report.shares[b]);
  std::fputs(terminal ? "" : "\n", out);
  std::fflush(out);
}

}  // namespace

int ListAudioDevices(std::FILE *out) {
  const UINT count = waveInGetNumDevs();
  if (count == 0) {
    std::fputs("lumivane: no recording device found. Is the sound server (PulseAudio or PipeWire)\n"
               "running for this user? With none, Audio=1 in control.ini has nothing to hear.\n",
               stderr);
    return 1;
  }
  std::fputs("Recording devices (put the number in RecordingDevice in control.ini; a \"Monitor of\"\n"
             "device hears what this machine plays):\n", out);
  for (UINT i = 0; i < count; ++i) {
    WAVEINCAPSA caps = {};
    if (waveInGetDevCapsA(i, &caps, sizeof caps) == MMSYSERR_NOERROR)
      std::fprintf(out, "  %u  %s\n", i, caps.szPname);
  }
  return 0;
}

int ListenToDevice(unsigned device, std::FILE *out) {
  if (device >= waveInGetNumDevs()) {
    std::fprintf(stderr, "lumivane: there is no recording device %u; lumivane --list-audio-devices "
                         "shows the numbers.\n", device);
    return 1;
  }
  // The format the saver tries first with the default settings.
  const CaptureFormat format;
  const WAVEFORMATEX wave = PcmFormat(format);
  HWAVEIN input = nullptr;
  if (waveInOpen(&input, device, &wave, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    std::fprintf(stderr, "lumivane: recording device %u cannot be opened now (gone, or busy).\n", device);
    return 1;
  }
  const int frames = FramesPerBufferFor(format);
  std::vector<int32_t> window(static_cast<size_t>(frames));
  FillWindowTable(window.data(), frames);
  int16_t dcOffsets[2] = {0, 0};
  std::vector<char> memory[2] = {std::vector<char>(BufferBytesFor(format)),
                                 std::vector<char>(BufferBytesFor(format))};
  WAVEHDR headers[2] = {};
  for (int i = 0; i < 2; ++i) {
    headers[i].lpData = memory[i].data();
    headers[i].dwBufferLength = static_cast<DWORD>(memory[i].size());
    waveInPrepareHeader(input, &headers[i], sizeof headers[i]);
    waveInAddBuffer(input, &headers[i], sizeof headers[i]);
  }
  std::signal(SIGINT, Interrupt);
  std::signal(SIGTERM, Interrupt);
  const bool terminal = isatty(fileno(out));
  std::fprintf(out, "Listening to recording device %u; Ctrl+C ends.\n", device);
  waveInStart(input);

  LevelReport report;
  DWORD lastShown = GetTickCount() - REFRESH_MS;
  int exitCode = 0;
  while (!interrupted) {
    bool returned = false;
    for (WAVEHDR &header : headers) {
      if (!(header.dwFlags & WHDR_DONE)) continue;
      returned = true;
      if (AnalyseSamples(reinterpret_cast<const uint8_t *>(header.lpData), header.dwBytesRecorded,
                         format, window.data(), frames, dcOffsets, report) &&
          GetTickCount() - lastShown >= REFRESH_MS) {
        PrintReport(out, report, terminal);
        lastShown = GetTickCount();
      }
      header.dwFlags &= ~WHDR_DONE;
      if (waveInAddBuffer(input, &header, sizeof header) != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "\nlumivane: recording device %u went away.\n", device);
        interrupted = 1;
        exitCode = 1;
      }
    }
    if (!returned) Sleep(5);
  }
  if (terminal) std::fputc('\n', out);
  waveInReset(input);
  for (WAVEHDR &header : headers) waveInUnprepareHeader(input, &header, sizeof header);
  waveInClose(input);
  return exitCode;
}
