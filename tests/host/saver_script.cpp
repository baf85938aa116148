#include "saver_script.h"

#include <cstdio>

#include "host/saver_main.h"
#include "host/saver_window.h"

namespace {

constexpr char HELPER_CLASS[] = "LumivaneTestInputHelper";
constexpr UINT_PTR STEP_TIMER = 1;
constexpr UINT STEP_PERIOD_MS = 60;
// After this many ticks the helper destroys the saver so that a test that expected a
// dismissal fails instead of hanging.
constexpr int GIVE_UP_STEPS = 40;

std::vector<Step> script;
size_t nextStep = 0;
int ticks = 0;
std::vector<std::pair<UINT, WPARAM>> helpRequests;

// The full-screen window, or else the helper's only child, the preview.
HWND SaverOf(HWND helper) {
  HWND saver = FindWindowA(SAVER_CLASS_NAME, SAVER_FULLSCREEN_TITLE);
  return saver ? saver : GetWindow(helper, GW_CHILD);
}

LRESULT CALLBACK HelperProc(HWND helper, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP || message == WM_CONTEXTMENU) {
    helpRequests.emplace_back(message, wParam);
    return 0;
  }
  if (message == WM_TIMER && wParam == STEP_TIMER) {
    HWND saver = SaverOf(helper);
    if (++ticks > GIVE_UP_STEPS) {
      KillTimer(helper, STEP_TIMER);
      if (saver) DestroyWindow(saver);
      return 0;
    }
    if (saver && nextStep < script.size() && script[nextStep](saver)) ++nextStep;
    return 0;
  }
  return DefWindowProcA(helper, message, wParam, lParam);
}

}  // namespace

int RunScript(const char *tail, std::vector<Step> steps) {
  script = std::move(steps);
  nextStep = 0;
  ticks = 0;
  helpRequests.clear();
  WNDCLASSA helperClass = {};
  helperClass.lpfnWndProc = HelperProc;
  helperClass.hInstance = GetModuleHandleA(nullptr);
  helperClass.lpszClassName = HELPER_CLASS;
  RegisterClassA(&helperClass);
  HWND helper = CreateWindowExA(0, HELPER_CLASS, "Display settings", WS_OVERLAPPEDWINDOW, 10, 10,
                                300, 240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetTimer(helper, STEP_TIMER, STEP_PERIOD_MS, nullptr);
  char fullTail[64];
  std::snprintf(fullTail, sizeof fullTail, tail,
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(helper)));
  const int exitCode = SaverMain(GetModuleHandleA(nullptr), fullTail);
  if (IsWindow(helper)) DestroyWindow(helper);
  UnregisterClassA(HELPER_CLASS, GetModuleHandleA(nullptr));
  return exitCode;
}

bool ScriptCompleted() { return nextStep == script.size() && ticks <= GIVE_UP_STEPS; }
const std::vector<std::pair<UINT, WPARAM>> &ScriptHelpRequests() { return helpRequests; }

Step Send(UINT message, WPARAM wParam) {
  return [=](HWND saver) {
    SendMessageA(saver, message, wParam, 0);
    return true;
  };
}

bool RunningFlag() {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return running != FALSE;
}

void SetPasswordValue(DWORD type, const void *data, DWORD size) {
  HKEY desktop = nullptr;
  RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop);
  if (type == REG_NONE)
    RegDeleteValueA(desktop, "ScreenSaveUsePassword");
  else
    RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, type, static_cast<const BYTE *>(data),
                   size);
  RegCloseKey(desktop);
}
