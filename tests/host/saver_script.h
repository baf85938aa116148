// Runs the real full-screen saver ("/s") while a helper window of the test feeds it input,
// one step per helper timer tick, from inside the saver's own message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// A step gets the saver window; it runs once the saver window exists.
using Step = std::function<bool(HWND saver)>;

// After this many ticks the helper destroys the saver so that a test that expected a
// dismissal fails instead of hanging.
constexpr int GIVE_UP_STEPS = 40;

int RunFullScreen(std::vector<Step> steps);
// Helper ticks of the last run; above GIVE_UP_STEPS when the helper had to end the saver.
int ScriptTicks();
// Whether the last run's saver window was seen at all.
bool ScriptSawSaver();
// Whether every step of the last run ran while the saver window still existed.
bool ScriptFinished();

Step Send(UINT message, WPARAM wParam = 0);
// Holds the script until this many milliseconds have passed since the step was first reached.
Step Wait(DWORD ms);
