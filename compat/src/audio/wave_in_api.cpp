// The wave-input functions over SDL's audio capture.
#include <windows.h>
#include <mmsystem.h>

#include <cstring>

#include "audio/sdl_audio.h"

using namespace compat;

namespace {

// SDL converts whatever its device delivers, so every standard format is offered.
constexpr DWORD ALL_STANDARD_FORMATS = 0x00000FFF;

}  // namespace

UINT waveInGetNumDevs() { return static_cast<UINT>(RecordingDeviceNames().size()); }

MMRESULT waveInGetDevCapsA(UINT_PTR device, LPWAVEINCAPSA caps, UINT capsSize) {
  if (caps == nullptr || capsSize < sizeof(WAVEINCAPSA)) return MMSYSERR_INVALPARAM;
  const std::vector<std::string> names = RecordingDeviceNames();
  if (device >= names.size()) return MMSYSERR_BADDEVICEID;
  std::memset(caps, 0, sizeof *caps);
  caps->vDriverVersion = 0x0100;
  std::strncpy(caps->szPname, names[device].c_str(), MAXPNAMELEN - 1);
  caps->dwFormats = ALL_STANDARD_FORMATS;
  caps->wChannels = 2;
  return MMSYSERR_NOERROR;
}
