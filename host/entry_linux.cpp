#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/saver_main.h"
#include "host/sound_check.h"

namespace {

const char USAGE[] =
    "Usage: lumivane [switch]\n"
    "Lumivane 95: symmetric line patterns in animated colours.\n"
    "\n"
    "  /s           run the saver full screen (inside $XSCREENSAVER_WINDOW when set);\n"
    "               a key, a mouse button or a mouse movement ends it\n"
    "  /p <xid>     preview inside the X11 window with that decimal id (/l is the same)\n"
    "  /c, none     open the configuration dialog\n"
    "  /a [<xid>]   change the saver password (nothing to change on Linux)\n"
    "  --list-audio-devices\n"
    "               list the recording devices with the numbers RecordingDevice takes\n"
    "  --listen [N] show live what recording device N (default 0) hears, as the saver\n"
    "               measures it: loudness and eight bands from 11 kHz down to 86 Hz\n"
    "  --help       show this text\n"
    "\n"
    "Switches may also start with '-' and only their first letter counts.\n"
    "Settings live in control.ini in $LUMIVANE_HOME, else $XDG_CONFIG_HOME/lumivane\n"
    "(~/.config/lumivane). LUMIVANE_DISPLAY=palette|truecolor picks the emulated display,\n"
    "LUMIVANE_SEED=<n> fixes the random sequence.\n"
    "Exit code: 0 when the saver ends normally, -1 (255) for an unknown switch or a bad window.\n";

}  // namespace

int main(int argc, char **argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(USAGE, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--list-audio-devices") == 0) return ListAudioDevices(stdout);
  if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "--listen") == 0) {
    char *end = nullptr;
    const unsigned long device = argc == 3 ? std::strtoul(argv[2], &end, 10) : 0;
    if (argc == 3 && (*end != '\0' || argv[2][0] == '\0' || argv[2][0] == '-')) {
      std::fprintf(stderr, "lumivane: --listen takes a device number, as --list-audio-devices shows.\n");
      return 2;
    }
    return ListenToDevice(static_cast<unsigned>(device), stdout);
  }
  return RunSaverProcess(GetModuleHandleA(nullptr), GetCommandLineA());
}
