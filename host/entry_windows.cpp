#include <windows.h>

#include "host/saver_main.h"

// The C runtime hands over the show command taken from the startup information; no mode uses it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return RunSaverProcess(instance, GetCommandLineA());
}
