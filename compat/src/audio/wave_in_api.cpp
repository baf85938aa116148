// The wave-input functions over SDL's audio capture. A device fills the buffers queued to it in
// order on SDL's audio thread and posts each one that is full to the notification window.
#include <windows.h>
#include <mmsystem.h>

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <set>

#include "audio/sdl_audio.h"

using namespace compat;

namespace {

// SDL converts whatever its device delivers, so every standard format is offered.
constexpr DWORD ALL_STANDARD_FORMATS = 0x00000FFF;
// Frames SDL hands over per callback; small enough that a 256-frame buffer fills promptly.
constexpr Uint16 SDL_CHUNK_FRAMES = 256;

struct WaveInDevice {
  SDL_AudioDeviceID sdl = 0;
  HWND notify = nullptr;
  std::mutex lock;  // the queue, between the caller's thread and SDL's audio thread
  std::deque<WAVEHDR *> queue;
};

std::mutex devicesLock;
std::set<WaveInDevice *> openDevices;

HWAVEIN HandleOf(WaveInDevice *device) { return reinterpret_cast<HWAVEIN>(device); }

WaveInDevice *Find(HWAVEIN handle) {
  std::lock_guard<std::mutex> hold(devicesLock);
  auto *device = reinterpret_cast<WaveInDevice *>(handle);
  return openDevices.count(device) ? device : nullptr;
}

void Notify(WaveInDevice &device, UINT message, LPARAM lParam) {
  if (device.notify) PostMessageA(device.notify, message, reinterpret_cast<WPARAM>(HandleOf(&device)), lParam);
}

// Called with the device's lock held.
void ReturnBuffer(WaveInDevice &device) {
  WAVEHDR *header = device.queue.front();
  device.queue.pop_front();
  header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  Notify(device, MM_WIM_DATA, reinterpret_cast<LPARAM>(header));
}

void SDLCALL Captured(void *user, Uint8 *stream, int length) {
  auto &device = *static_cast<WaveInDevice *>(user);
  std::lock_guard<std::mutex> hold(device.lock);
  while (length > 0 && !device.queue.empty()) {
    WAVEHDR &header = *device.queue.front();
    const DWORD room = header.dwBufferLength - header.dwBytesRecorded;
    const DWORD taken = std::min<DWORD>(room, static_cast<DWORD>(length));
    std::memcpy(header.lpData + header.dwBytesRecorded, stream, taken);
    header.dwBytesRecorded += taken;
    stream += taken;
    length -= static_cast<int>(taken);
    if (header.dwBytesRecorded == header.dwBufferLength) ReturnBuffer(device);
  }
}

bool Acceptable(const WAVEFORMATEX *format) {
  return format && format->wFormatTag == WAVE_FORMAT_PCM &&
         (format->nChannels == 1 || format->nChannels == 2) &&
         (format->wBitsPerSample == 8 || format->wBitsPerSample == 16) &&
         format->nSamplesPerSec >= 1000 && format->nSamplesPerSec <= 192000 &&
         format->nBlockAlign == format->nChannels * format->wBitsPerSample / 8;
}

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

MMRESULT waveInOpen(LPHWAVEIN result, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                    DWORD_PTR, DWORD flags) {
  if (deviceId == WAVE_MAPPER) deviceId = 0;
  if (deviceId >= waveInGetNumDevs()) return MMSYSERR_BADDEVICEID;
  const DWORD kind = flags & CALLBACK_TYPEMASK;
  if (kind != CALLBACK_NULL && kind != CALLBACK_WINDOW) return MMSYSERR_INVALFLAG;
  if (!Acceptable(format)) return WAVERR_BADFORMAT;
  // A sound server's device may come and go.
  const std::string present = PresentRecordingDevice(deviceId);
  if (present.empty()) return MMSYSERR_NODRIVER;
  if (flags & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
  if (result == nullptr) return MMSYSERR_INVALPARAM;

  auto device = std::make_unique<WaveInDevice>();
  device->notify = kind == CALLBACK_WINDOW ? reinterpret_cast<HWND>(callback) : nullptr;
  SDL_AudioSpec wanted{};
  wanted.freq = static_cast<int>(format->nSamplesPerSec);
  wanted.format = format->wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16SYS;
  wanted.channels = static_cast<Uint8>(format->nChannels);
  wanted.samples = SDL_CHUNK_FRAMES;
  wanted.callback = Captured;
  wanted.userdata = device.get();
  SDL_AudioSpec obtained{};
  device->sdl = SDL_OpenAudioDevice(present.c_str(), 1, &wanted, &obtained, 0);
  if (device->sdl == 0) return MMSYSERR_ALLOCATED;
  WaveInDevice *opened = device.release();
  {
    std::lock_guard<std::mutex> hold(devicesLock);
    openDevices.insert(opened);
  }
  *result = HandleOf(opened);
  Notify(*opened, MM_WIM_OPEN, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWAVEIN handle, LPWAVEHDR header, UINT headerSize) {
  if (!Find(handle)) return MMSYSERR_INVALHANDLE;
  if (header == nullptr || headerSize < sizeof(WAVEHDR) || header->lpData == nullptr)
    return MMSYSERR_INVALPARAM;
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT waveInUnprepareHeader(HWAVEIN handle, LPWAVEHDR header, UINT headerSize) {
  if (!Find(handle)) return MMSYSERR_INVALHANDLE;
  if (header == nullptr || headerSize < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT waveInAddBuffer(HWAVEIN handle, LPWAVEHDR header, UINT headerSize) {
  WaveInDevice *device = Find(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  if (header == nullptr || headerSize < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
  if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  // A device whose sound server went away takes nothing more.
  if (SDL_GetAudioDeviceStatus(device->sdl) == SDL_AUDIO_STOPPED) return MMSYSERR_NODRIVER;
  std::lock_guard<std::mutex> hold(device->lock);
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  header->dwBytesRecorded = 0;
  device->queue.push_back(header);
  return MMSYSERR_NOERROR;
}

MMRESULT waveInStart(HWAVEIN handle) {
  WaveInDevice *device = Find(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  SDL_PauseAudioDevice(device->sdl, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT waveInStop(HWAVEIN handle) {
  WaveInDevice *device = Find(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  SDL_PauseAudioDevice(device->sdl, 1);
  std::lock_guard<std::mutex> hold(device->lock);
  // What the current buffer holds so far comes back; the others wait for the next start.
  if (!device->queue.empty() && device->queue.front()->dwBytesRecorded > 0) ReturnBuffer(*device);
  return MMSYSERR_NOERROR;
}

MMRESULT waveInReset(HWAVEIN handle) {
  WaveInDevice *device = Find(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  SDL_PauseAudioDevice(device->sdl, 1);
  std::lock_guard<std::mutex> hold(device->lock);
  while (!device->queue.empty()) ReturnBuffer(*device);
  return MMSYSERR_NOERROR;
}

MMRESULT waveInClose(HWAVEIN handle) {
  WaveInDevice *device = Find(handle);
  if (!device) return MMSYSERR_INVALHANDLE;
  {
    std::lock_guard<std::mutex> hold(device->lock);
    if (!device->queue.empty()) return WAVERR_STILLPLAYING;
  }
  {
    std::lock_guard<std::mutex> hold(devicesLock);
    openDevices.erase(device);
  }
  SDL_CloseAudioDevice(device->sdl);
  Notify(*device, MM_WIM_CLOSE, 0);
  delete device;
  return MMSYSERR_NOERROR;
}
