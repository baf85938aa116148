// The settings held in memory, and their one home: section "Lumivane 95" of the profile file.
#pragma once

#include <cstdint>
#include <string>

#include "settings/design_record.h"

constexpr const char *SETTINGS_SECTION = "Lumivane 95";
constexpr const char *DEFAULT_PROFILE_NAME = "control.ini";
// The settings layout this code writes; older profiles get the later built-in designs.
constexpr int SETTINGS_VERSION = 29;
// A design interval of zero seconds means "never change": seven days.
constexpr uint32_t NEVER_CHANGE_INTERVAL_MS = 604800000;
// The longest FavList the system reads, one character per slot.
constexpr int FAV_LIST_MAX_CHARS = 256;

struct SettingsStore {
  // A bare name goes to the profile service's default directory.
  std::string ProfileName = DEFAULT_PROFILE_NAME;

  DesignParams Design;
  // Follows the sign of Design.Spin; makes the line model swing its spin.
  bool NegativeSpin = false;

  int32_t AllRandom = 0;
  int32_t Refresh = 60;  // seconds
  uint32_t DesignIntervalMs = 60000;

  int32_t Polite = 1;
  int32_t Audio = 0;
  int32_t Reflections = 0;
  int32_t Version = 0;

  int32_t RedMin = 0, RedMax = 255;
  int32_t GreenMin = 0, GreenMax = 255;
  int32_t BlueMin = 0, BlueMax = 255;

  int32_t SpeedGroupSize = 12;
  int32_t SpeedInterval = 20;  // ms
  int32_t Divisor = 1;

  int32_t RecordingDevice = 0;
  int32_t AudioChannels = 2;
  int32_t AudioSampleRate = 22050;
  int32_t AudioBitsPerSample = 16;
  uint16_t MusicInterval = 50;
  double MusicBands = 100;
  double MusicSpin = 100;
  double MusicRedBands = 100;
  double MusicGreenBands = 100;
  double MusicBlueBands = 100;
  double SplitFactor = 1.5;  // 150 / MusicSplitting
  uint32_t AudioBlankTimeMs = 10000;

  // One character per slot from slot 1; 'Y' makes the slot eligible for the random pick.
  std::string FavList;
};

// Fills the store from the profile, seeds and upgrades the favourites, and records the version.
void LoadSettings(SettingsStore &store);
// Writes the keys the main configuration dialog owns; called when it closes with OK.
void SaveSettings(const SettingsStore &store);
// Writes one integer key as unsigned decimal text.
void WriteSettingInt(const SettingsStore &store, const char *key, uint32_t value);

// Plain reads and writes of one key of the section, for the dialogs and the saver's own keys.
int32_t ReadSettingInt(const SettingsStore &store, const char *key, int32_t defaultValue);
// Reads at most maxChars characters; an absent key gives defaultValue.
std::string ReadSettingString(const SettingsStore &store, const char *key, int maxChars,
                              const char *defaultValue = "");
void WriteSettingString(const SettingsStore &store, const char *key, const std::string &value);

// The throughput the last saver run measured, for the speed dialog (0 when none was recorded).
long ReadLastSpeed(const SettingsStore &store);

// The design interval for a Refresh in seconds (negative counts as 0, 0 means never).
uint32_t DesignIntervalFor(int32_t refreshSeconds);
// The splitting factor for a stored MusicSplitting.
double SplitFactorFor(int32_t musicSplitting);
