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

// A "%lu" in the tail stands for the helper's handle.
int RunScript(const char *tail, std::vector<Step> steps);
// Whether every step of the last run ran while the saver window still existed, and the saver
// then ended without the helper having to end it.
bool ScriptCompleted();
// The help requests (WM_HELP, WM_CONTEXTMENU) and their wParam that reached the helper.
const std::vector<std::pair<UINT, WPARAM>> &ScriptHelpRequests();

Step Send(UINT message, WPARAM wParam = 0);

// The system's screen-saver-running flag.
bool RunningFlag();
// The desktop's "ScreenSaveUsePassword" value of this type, or none for REG_NONE.
void SetPasswordValue(DWORD type, const void *data = nullptr, DWORD size = 0);
