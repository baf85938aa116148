#include <windows.h>

#include <X11/Xlib.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/saver_main.h"
#include "host/sound_check.h"

namespace {

constexpr int EXIT_FAILED = -1;

const char USAGE[] =
    "Usage: lumivane [switch] [--display palette|truecolor]\n"
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
    "  --display palette|truecolor, after the switch\n"
    "               the emulated 256-colour palette display (default) or true colour\n"
    "\n"
    "Switches may also start with '-' and only their first letter counts.\n"
    "Settings live in control.ini in $LUMIVANE_HOME, else $XDG_CONFIG_HOME/lumivane\n"
    "(~/.config/lumivane). LUMIVANE_DISPLAY=palette|truecolor picks the emulated display,\n"
    "LUMIVANE_SEED=<n> fixes the random sequence.\n"
    "Exit code: 0 when the saver ends normally, -1 (255) for an unknown switch, a bad window\n"
    "or no display.\n";

void Tell(const std::string &message) { std::fprintf(stderr, "lumivane: %s\n", message.c_str()); }

// The emulated display named by "--display NAME" anywhere after the switch; false, told,
// when the name is not one of the two.
bool TakeDisplayOption(int argc, char **argv) {
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--display") != 0) continue;
    const char *name = i + 1 < argc ? argv[i + 1] : "";
    if (std::strcmp(name, "palette") != 0 && std::strcmp(name, "truecolor") != 0) {
      Tell(std::string("--display wants 'palette' or 'truecolor', not '") + name + "'");
      return false;
    }
    setenv("LUMIVANE_DISPLAY", name, 1);
  }
  return true;
}

// Why the X display cannot be used, or empty when it can.
std::string DisplayProblem() {
  const char *name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0')
    return "DISPLAY is not set, so there is no screen to draw on; run it in an X session or "
           "set DISPLAY (e.g. DISPLAY=:0)";
  Display *display = XOpenDisplay(nullptr);
  if (display == nullptr)
    return std::string("cannot open the X display '") + name +
           "'; check DISPLAY (display and screen number) and that the X server runs and lets "
           "you in (xdpyinfo tells)";
  XCloseDisplay(display);
  return "";
}

// One line on standard error for a mode that ended with -1; the configuration dialog tells
// its own story.
void ExplainFailure(LPCSTR tail) {
  const LPCSTR switchText = SwitchOf(tail);
  const std::string given(tail, std::strcspn(tail, "\t\n"));
  switch (*switchText) {
    case 'S':
    case 's': {
      const std::string problem = DisplayProblem();
      const char *hostWindow = std::getenv("XSCREENSAVER_WINDOW");
      if (!problem.empty())
        Tell(problem);
      else if (hostWindow != nullptr && *hostWindow != '\0')
        Tell(std::string("could not draw into XSCREENSAVER_WINDOW=") + hostWindow +
             "; it should name an existing window of this display");
      else
        Tell("could not open the saver window on this display");
      return;
    }
    case 'P':
    case 'p':
    case 'L':
    case 'l': {
      const std::string problem = DisplayProblem();
      Tell(problem.empty() ? "'" + given + "': the preview wants the decimal id of an existing "
                                 "X11 window, e.g. /p 41943047 (xwininfo shows ids)"
                           : problem);
      return;
    }
    case '\0':
    case 'C':
    case 'c':
    case 'A':
    case 'a':
      return;
    default:
      Tell("unknown switch '" + given + "'; use /s, /p <xid>, /c or /a (lumivane --help)");
      return;
  }
}

// XScreenSaver names the window a hack draws in; /s treats a value that names no existing
// window as /p treats a bad handle, instead of running with nothing to draw in.
bool HostWindowNamedBadly(const char *text) {
  if (text == nullptr || *text == '\0') return false;
  if (*text == '-' || *text == '+' || std::isspace(static_cast<unsigned char>(*text))) return true;
  char *end = nullptr;
  errno = 0;
  const unsigned long long id = std::strtoull(text, &end, 0);
  // X resource ids have 29 bits.
  if (errno != 0 || *end != '\0' || id == 0 || id > 0x1FFFFFFFu) return true;
  return !IsWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(id)));
}

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
  if (!TakeDisplayOption(argc, argv)) return EXIT_FAILED;
  const LPCSTR commandLine = GetCommandLineA();
  const LPCSTR tail = CommandTail(commandLine);
  const char mode = *SwitchOf(tail);
  if ((mode == 's' || mode == 'S') && HostWindowNamedBadly(std::getenv("XSCREENSAVER_WINDOW"))) {
    // Nothing runs and nothing is written. The value itself is not echoed: it may hold
    // anything, line breaks included.
    const std::string problem = DisplayProblem();
    Tell(problem.empty() ? "$XSCREENSAVER_WINDOW names no existing X window; unset it or set it "
                           "to the id of the window to draw in"
                         : problem);
    return EXIT_FAILED;
  }
  const int code = RunSaverProcess(GetModuleHandleA(nullptr), commandLine);
  if (code == EXIT_FAILED) ExplainFailure(tail);
  return code;
}
