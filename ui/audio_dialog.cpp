#include "ui/audio_dialog.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "resources/resource_ids.h"
#include "ui/dialog_helpers.h"

namespace {

constexpr int NUMBER_CHARS = 29;
const long SAMPLE_RATES[] = {44100, 32000, 22050, 16000, 11025, 8000};
const int RESOLUTIONS[] = {16, 8};

struct Sensitivity {
  int id;
  const char *key;
  double SettingsStore::*value;
};
// In the order their keys are written.
const Sensitivity SENSITIVITIES[] = {
    {IDC_MUSIC_BANDS, "MusicBands", &SettingsStore::MusicBands},
    {IDC_MUSIC_SPIN, "MusicSpin", &SettingsStore::MusicSpin},
    {IDC_MUSIC_BLUE, "MusicBlueBands", &SettingsStore::MusicBlueBands},
    {IDC_MUSIC_RED, "MusicRedBands", &SettingsStore::MusicRedBands},
    {IDC_MUSIC_GREEN, "MusicGreenBands", &SettingsStore::MusicGreenBands},
};

// Settings written from this dialog keep their low 16 bits, read as unsigned.
void WriteLow16(const SettingsStore &s, const char *key, long long value) {
  WriteSettingInt(s, key, static_cast<uint32_t>(value) & 0xFFFFu);
}

void Open(HWND dialog) {
  SettingsStore &s = Configuration().settings;
  s.RecordingDevice = ReadSettingInt(s, "RecordingDevice", s.RecordingDevice);
  for (const Sensitivity &x : SENSITIVITIES)
    s.*x.value = ReadSettingInt(s, x.key, static_cast<int32_t>(s.*x.value));
  s.AudioBlankTimeMs = static_cast<uint32_t>(ReadSettingInt(s, "AudioBlankTime", static_cast<int32_t>(s.AudioBlankTimeMs / 1000))) * 1000u;
  const int32_t splitting = ReadSettingInt(s, "MusicSplitting", 100);

  const UINT devices = waveInGetNumDevs();
  for (UINT i = 0; i < devices; ++i) {
    WAVEINCAPSA caps{};
    if (waveInGetDevCapsA(i, &caps, sizeof caps) != MMSYSERR_NOERROR) caps.szPname[0] = '\0';
    SendDlgItemMessageA(dialog, IDC_RECORDING_DEVICE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caps.szPname));
  }
  if (s.RecordingDevice < 0 || static_cast<UINT>(s.RecordingDevice) >= devices) s.RecordingDevice = 0;
  SendDlgItemMessageA(dialog, IDC_RECORDING_DEVICE, CB_SETCURSEL, static_cast<WPARAM>(s.RecordingDevice), 0);

  const int32_t rate = ReadSettingInt(s, "AudioSampleRate", 22050);
  const int32_t bits = ReadSettingInt(s, "AudioBitsPerSample", 16);
  char text[32];
  for (size_t i = 0; i < sizeof SAMPLE_RATES / sizeof SAMPLE_RATES[0]; ++i) {
    std::snprintf(text, sizeof text, "%ld Hz", SAMPLE_RATES[i]);
    SendDlgItemMessageA(dialog, IDC_SAMPLE_RATE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (SAMPLE_RATES[i] == rate) SendDlgItemMessageA(dialog, IDC_SAMPLE_RATE, CB_SETCURSEL, i, 0);
  }
  for (size_t i = 0; i < sizeof RESOLUTIONS / sizeof RESOLUTIONS[0]; ++i) {
    std::snprintf(text, sizeof text, "%d-bit", RESOLUTIONS[i]);
    SendDlgItemMessageA(dialog, IDC_BITS_PER_SAMPLE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (RESOLUTIONS[i] == bits) SendDlgItemMessageA(dialog, IDC_BITS_PER_SAMPLE, CB_SETCURSEL, i, 0);
  }

  for (const Sensitivity &x : SENSITIVITIES) SetDialogItemNumber(dialog, x.id, static_cast<long>(s.*x.value));
  SetDialogItemNumber(dialog, IDC_MUSIC_SPLITTING, splitting);
  SetDialogItemNumber(dialog, IDC_BLANK_TIME, static_cast<long>(s.AudioBlankTimeMs / 1000));
}

void Store(HWND dialog) {
  SettingsStore &s = Configuration().settings;
  s.RecordingDevice = static_cast<int32_t>(SendDlgItemMessageA(dialog, IDC_RECORDING_DEVICE, CB_GETCURSEL, 0, 0));
  for (const Sensitivity &x : SENSITIVITIES)
    s.*x.value = std::strtod(DialogItemText(dialog, x.id, NUMBER_CHARS).c_str(), nullptr);
  const int32_t splitting = DialogItemNumber(dialog, IDC_MUSIC_SPLITTING, NUMBER_CHARS);
  // Seconds are written back as seconds; going through milliseconds would wrap long times.
  const long long dreamSeconds = DialogItemNumber(dialog, IDC_BLANK_TIME, NUMBER_CHARS);
  s.AudioBlankTimeMs = static_cast<uint32_t>(dreamSeconds * 1000);

  WriteLow16(s, "RecordingDevice", s.RecordingDevice);
  for (const Sensitivity &x : SENSITIVITIES) WriteLow16(s, x.key, static_cast<long long>(s.*x.value));
  WriteLow16(s, "MusicSplitting", std::clamp(splitting, 1, 32760));
  WriteLow16(s, "AudioBlankTime", dreamSeconds);
  const LRESULT rate = SendDlgItemMessageA(dialog, IDC_SAMPLE_RATE, CB_GETCURSEL, 0, 0);
  if (rate >= 0 && rate < 6) WriteLow16(s, "AudioSampleRate", SAMPLE_RATES[rate]);
  const LRESULT bits = SendDlgItemMessageA(dialog, IDC_BITS_PER_SAMPLE, CB_GETCURSEL, 0, 0);
  if (bits >= 0 && bits < 2) WriteLow16(s, "AudioBitsPerSample", RESOLUTIONS[bits]);
}

}  // namespace

INT_PTR CALLBACK AUDIOMsgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return SubDialogMessage(dialog, message, wParam, Open, Store, "Audio");
}
