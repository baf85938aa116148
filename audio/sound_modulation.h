// The sound drives the pattern: each level report moves smoothed band levels, and they set the
// colour walks, brightness, bands, line size, speed, rotation and sudden splits. A loud sound
// after silence starts a new design; long silence makes the band levels dream.
#pragma once

#include <windows.h>

#include <cstdint>

#include "audio/level_report.h"
#include "settings/settings_store.h"

struct LineSetState;
struct PaletteEngine;

// What the sound moves in the pattern and the pattern's operations it calls, handed over by
// the animation driver, so that the modulation links nothing of the engine.
struct PatternTargets {
  LineSetState *lines = nullptr;
  PaletteEngine *palette = nullptr;
  int (*nextRandom)() = nullptr;
  void (*selectNextDesign)(HWND window) = nullptr;
  void (*reseedMotion)(bool jump, int radius) = nullptr;
  bool (*paletteAvailable)() = nullptr;
  void (*refreshAllEntries)() = nullptr;
};

constexpr double QUIET_LEVEL = 600;
constexpr double RESTART_LEVEL = 800;
constexpr double DREAM_LEVEL = 10000;

struct SoundModulation {
  double bandLevels[BAND_COUNT] = {1, 1, 1, 1, 1, 1, 1, 1};  // [0] follows the highest band
  double averageLevel = 1.0;
  bool dreaming = false;
  uint32_t quietCount = 0;
  DWORD quietStart = 0;
  bool armed = false;
  uint32_t dreamTimeMs = 10000;
  double bandsSensitivity = 100;
  double spinSensitivity = 100;
  double redSensitivity = 100;
  double greenSensitivity = 100;
  double blueSensitivity = 100;
  double splitFactor = 1.5;
  int32_t lineSizeVelocity = 0;
  double previousSpeedFigure = 1.0;
  int32_t previousRaw0 = 0;
  int32_t previousShares[BAND_COUNT] = {};
  bool paletteRefreshPending = false;
  PatternTargets pattern;
};

extern SoundModulation soundModulation;

// A fresh record with the sensitivities, splitting and dream time of these settings, moving
// the pattern of these targets.
void StartSoundModulation(const SettingsStore &settings, const PatternTargets &pattern);
// The next loud sound starts a new design.
void ArmSoundRestart();
// The handler of WM_SOUNDLEVEL for the animation window; may change the report in place.
void OnSoundLevel(HWND window, LevelReport &report);
// The same at a given tick count.
void OnSoundLevelAt(HWND window, LevelReport &report, DWORD now);
