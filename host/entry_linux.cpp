#include <windows.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

constexpr int EXIT_BAD_WINDOW = -1;

// Whether the command tail selects the full-screen saver (switch prefixes skipped).
bool SelectsFullScreen(LPCSTR tail) {
  while (*tail == ' ' || *tail == '-' || *tail == '/') ++tail;
  return *tail == 's' || *tail == 'S';
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
  const char *commandLine = GetCommandLineA();
  const char *hostWindow = std::getenv("XSCREENSAVER_WINDOW");
  if (SelectsFullScreen(CommandTail(commandLine)) && HostWindowNamedBadly(hostWindow)) {
    // The value itself is not echoed: it may hold anything, line breaks included.
    std::fputs("lumivane: $XSCREENSAVER_WINDOW names no existing X window; unset it or set it "
               "to the id of the window to draw in\n",
               stderr);
    return EXIT_BAD_WINDOW;
  }
  return RunSaverProcess(GetModuleHandleA(nullptr), commandLine);
}
