#include "saver_script.h"

#include <gtest/gtest.h>

#include <memory>

#include "host/saver_main.h"
#include "host/saver_window.h"

namespace {

constexpr char HELPER_CLASS[] = "LumivaneTestInputHelper";
constexpr UINT_PTR STEP_TIMER = 1;
constexpr UINT STEP_PERIOD_MS = 60;

std::vector<Step> script;
size_t nextStep = 0;
int ticks = 0;
bool saverSeen = false;

LRESULT CALLBACK HelperProc(HWND helper, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == STEP_TIMER) {
    HWND saver = FindWindowA(SAVER_CLASS_NAME, SAVER_FULLSCREEN_TITLE);
    if (saver) saverSeen = true;
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

int RunFullScreen(std::vector<Step> steps) {
  script = std::move(steps);
  nextStep = 0;
  ticks = 0;
  saverSeen = false;
  WNDCLASSA helperClass = {};
  helperClass.lpfnWndProc = HelperProc;
  helperClass.hInstance = GetModuleHandleA(nullptr);
  helperClass.lpszClassName = HELPER_CLASS;
  RegisterClassA(&helperClass);
  HWND helper = CreateWindowExA(0, HELPER_CLASS, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  SetTimer(helper, STEP_TIMER, STEP_PERIOD_MS, nullptr);
  const int exitCode = SaverMain(GetModuleHandleA(nullptr), "/s");
  DestroyWindow(helper);
  UnregisterClassA(HELPER_CLASS, GetModuleHandleA(nullptr));
  return exitCode;
}

int ScriptTicks() { return ticks; }
bool ScriptSawSaver() { return saverSeen; }
bool ScriptFinished() { return nextStep == script.size(); }

Step Send(UINT message, WPARAM wParam) {
  return [=](HWND saver) {
    SendMessageA(saver, message, wParam, 0);
    return true;
  };
}

Step Wait(DWORD ms) {
  auto started = std::make_shared<DWORD>(0);
  auto waiting = std::make_shared<bool>(false);
  return [=](HWND) {
    if (!*waiting) {
      *waiting = true;
      *started = GetTickCount();
    }
    return GetTickCount() - *started >= ms;
  };
}
