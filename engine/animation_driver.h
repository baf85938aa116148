// The animation driver: the saver window's procedure behind the host's filter. It starts and
// stops one run of the animation and paces it with a window timer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "audio/sound_modulation.h"
#include "resources/resource_ids.h"
#include "settings/settings_store.h"

constexpr UINT_PTR DRAW_TIMER_ID = 200;
constexpr UINT_PTR WATCHDOG_TIMER_ID = 787;
constexpr UINT ENABLED_DRAW_PERIOD_MS = 20;
constexpr UINT WATCHDOG_PERIOD_MS = 15000;
constexpr DWORD COLOUR_REFRESH_MS = 10000;
constexpr char WATCHDOG_TARGET_TITLE[] = "Lumivane 95";

struct AnimationState {
  HINSTANCE instance = nullptr;
  bool drawTimerArmed = false;
  bool watchdogArmed = false;
  bool tickInProgress = false;
  bool running = false;
  DWORD lastDesignChange = 0;
  DWORD lastColourRefresh = 0;
  DWORD throughputStart = 0;
  DWORD designInterval = 0;
  // The client area changed size since the design began: the next tick starts one in it.
  bool resized = false;
  // The settings of this run, loaded at creation; the current design lives here.
  SettingsStore settings;
  std::string helpFile;
};

extern AnimationState animation;

// Exported under this name; the desktop and the dialog templates look it up.
extern "C" LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
// Where ScreenSaverProc sends every message it does not end itself: the host hands its own
// procedure over before it creates the window; until then DefWindowProcA.
void SetDriverDefaultProc(WNDPROC procedure);

// The pattern the sound moves: this process's line set and palette engine and their operations.
PatternTargets SoundPatternTargets();

// Lines per second; 64-bit so that long runs do not wrap. 0 when no time has passed.
long ThroughputLinesPerSecond(uint64_t lines, DWORD elapsedMs);

// Where a run's random sequence starts: the number in seedText when it is one, else the calendar time truncated
// to a signed 16-bit value, as the classic runtime's srand((short)time()) received it.
uint32_t ChooseRunSeed(const char *seedText, std::time_t now);
