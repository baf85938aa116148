// SDL's audio subsystem for the wave-input functions: started once, with the monitors of the
// machine's own outputs listed as recording devices, so that a saver can hear what it plays.
#pragma once

#include <string>
#include <vector>

namespace compat {

// False when SDL has no audio driver here.
bool StartSdlAudio();

// The recording devices by number. A number keeps its device for the whole run: a device that
// vanishes keeps its place (opening it fails until it is back), new ones are appended.
std::vector<std::string> RecordingDeviceNames();
// The name SDL knows device `number` by now; empty while the device is absent.
std::string PresentRecordingDevice(unsigned number);

}  // namespace compat
