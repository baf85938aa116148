#include "audio/sdl_audio.h"

#include <SDL.h>

#include <algorithm>
#include <mutex>

namespace compat {

namespace {

std::mutex devicesLock;
std::vector<std::string> knownDevices;

}  // namespace

bool StartSdlAudio() {
  static const bool started = [] {
    SDL_SetHint(SDL_HINT_AUDIO_INCLUDE_MONITORS, "1");
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }();
  return started;
}

std::vector<std::string> RecordingDeviceNames() {
  std::lock_guard<std::mutex> hold(devicesLock);
  if (!StartSdlAudio()) return knownDevices;
  const int count = SDL_GetNumAudioDevices(1);
  for (int i = 0; i < count; ++i) {
    const char *name = SDL_GetAudioDeviceName(i, 1);
    if (name == nullptr) continue;
    if (std::find(knownDevices.begin(), knownDevices.end(), name) == knownDevices.end())
      knownDevices.emplace_back(name);
  }
  return knownDevices;
}

}  // namespace compat
