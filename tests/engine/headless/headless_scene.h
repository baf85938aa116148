// The scene every headless test starts from (Linux): the headless backend reset, a 1024 x 768
// screen, settings in a private folder, and a virtual time counted from the reset.
#pragma once

#include <windows.h>

#include <string>

#include "compat/testing.h"
#include "host/saver_main.h"

// Run after every reset, for what a test binary adds to the scene (a module of its own).
void AddToEveryScene(void (*extra)());
void FreshHeadlessScene();
// A virtual time counted from the last fresh scene.
DWORD At(DWORD offset);
DWORD Elapsed();
// The full-screen saver window, while there is one.
HWND Saver();
// One key of the settings section of the saver's control.ini; a null value removes it.
void SetSetting(const char *key, const char *value);
std::string Setting(const char *key);

// SaverMain with this tail; a run that nothing ends stops at the deadline.
inline int RunSaver(const char *tail, DWORD deadline = 60000) {
  compat::testing::SetDeadline(At(deadline));
  return SaverMain(GetModuleHandleA(nullptr), tail);
}
