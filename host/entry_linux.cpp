#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host/saver_main.h"

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
  return RunSaverProcess(GetModuleHandleA(nullptr), GetCommandLineA());
}
