// Runs the real SaverMain while a helper window of the test feeds the saver window steps, one
// per helper timer tick, from inside the saver's own message loop. The helper is also the
// parent a preview tail names.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

// A step gets the saver window (full-screen, or the preview child of the helper) and returns
// true when it is done; it runs once the saver window exists.
using Step = std::function<bool(HWND saver)>;

// After this many ticks the helper destroys the saver so that a test that expected a
// dismissal fails instead of hanging.
constexpr int GIVE_UP_STEPS = 40;

// A "%lu" in the tail stands for the helper's handle.
int RunScript(const char *tail, std::vector<Step> steps);
// Helper ticks of the last run; above GIVE_UP_STEPS when the helper had to end the saver.
int ScriptTicks();
// Whether every step of the last run ran while the saver window still existed.
bool ScriptFinished();
// The help requests (WM_HELP, WM_CONTEXTMENU) and their wParam that reached the helper.
const std::vector<std::pair<UINT, WPARAM>> &ScriptHelpRequests();

Step Send(UINT message, WPARAM wParam = 0);

// The system's screen-saver-running flag.
bool RunningFlag();
