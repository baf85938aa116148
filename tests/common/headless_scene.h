// The scene every headless test starts from (Linux): the headless backend reset, a 1024 x 768
// screen, settings in a private folder, a virtual time counted from the reset, and a virtual
// minute after which a run or dialog that nothing ends gives the test back.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "compat/testing.h"
#include "host/saver_main.h"
#include "host/saver_window.h"

// Run after every reset, for what a test binary adds to the scene (a module of its own).
void AddToEveryScene(void (*extra)());
void FreshHeadlessScene();
// A virtual time counted from the last fresh scene.
DWORD At(DWORD offset);
DWORD Elapsed();
// One key of the settings section of the saver's control.ini; a null value removes it.
void SetSetting(const char *key, const char *value);
std::string Setting(const char *key);
// Runs body on the emulated palette display and then on the true-colour one; body gets
// whether it is the palette display.
void ForEachDisplay(const std::function<void(bool palette)> &body);

// The full-screen saver window, while there is one.
inline HWND Saver() { return FindWindowA(SAVER_CLASS_NAME, SAVER_FULLSCREEN_TITLE); }
// SaverMain with this tail; a run that nothing ends stops at the deadline.
inline int RunSaver(const char *tail, DWORD deadline = 60000) {
  compat::testing::SetDeadline(At(deadline));
  return SaverMain(GetModuleHandleA(nullptr), tail);
}
