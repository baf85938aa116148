#include "audio/sdl_audio.h"

#include <SDL.h>

#include <cctype>
#include <mutex>

namespace compat {

namespace {

// SDL tells devices of the same name apart by " (2)", " (3)"... in the order it met them, and
// a device that comes back may return with such a suffix. A device here is the n-th of those
// that share its name without the suffix.
struct KnownDevice {
  std::string base;
  int occurrence = 0;
  std::string shown;
};

std::mutex devicesLock;
std::vector<KnownDevice> knownDevices;

std::string BaseName(const std::string &name) {
  const size_t open = name.rfind(" (");
  if (open == std::string::npos || name.back() != ')' || open + 3 >= name.size()) return name;
  for (size_t i = open + 2; i + 1 < name.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return name;
  return name.substr(0, open);
}

// The devices SDL lists now, each as its base name and occurrence, with SDL's own name.
std::vector<std::pair<KnownDevice, std::string>> ListedNow() {
  std::vector<std::pair<KnownDevice, std::string>> listed;
  const int count = SDL_GetNumAudioDevices(1);
  for (int i = 0; i < count; ++i) {
    const char *name = SDL_GetAudioDeviceName(i, 1);
    if (name == nullptr) continue;
    KnownDevice device{BaseName(name), 0, name};
    for (const auto &earlier : listed) device.occurrence += earlier.first.base == device.base;
    listed.emplace_back(device, name);
  }
  return listed;
}

bool SameDevice(const KnownDevice &a, const KnownDevice &b) {
  return a.base == b.base && a.occurrence == b.occurrence;
}

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
  if (StartSdlAudio()) {
    for (const auto &[device, sdlName] : ListedNow()) {
      bool known = false;
      for (const KnownDevice &k : knownDevices) known = known || SameDevice(k, device);
      if (!known) knownDevices.push_back(device);
    }
  }
  std::vector<std::string> names;
  for (const KnownDevice &k : knownDevices) names.push_back(k.shown);
  return names;
}

std::string PresentRecordingDevice(unsigned number) {
  RecordingDeviceNames();
  std::lock_guard<std::mutex> hold(devicesLock);
  if (number >= knownDevices.size()) return "";
  for (const auto &[device, sdlName] : ListedNow())
    if (SameDevice(device, knownDevices[number])) return sdlName;
  return "";
}

}  // namespace compat
