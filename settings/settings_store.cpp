#include "settings/settings_store.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "settings/builtin_designs.h"
#include "settings/favorites.h"

namespace {

// Spin and Rotations may be negative; the file holds only unsigned numbers.
constexpr int32_t SIGNED_OFFSET = 1000;
constexpr int32_t COLOR_MIN_LIMIT = 254;
constexpr int32_t COLOR_MAX_LIMIT = 255;
constexpr int32_t REFLECTIONS_MAX = 9;
constexpr int32_t DEFAULT_MUSIC_SPLITTING = 100;
constexpr int LAST_SPEED_MAX_CHARS = 18;
// The most the speed dialog stores; a hand-edited value beyond it could make one tick last
// minutes. Smaller values only draw less, and pass as they are.
constexpr int32_t GROUP_SIZE_MAX = 1000;
constexpr int32_t DIVISOR_MAX = 50;

struct DesignKey {
  const char *Name;
  int32_t DesignParams::*Field;
  int32_t Offset;
};

constexpr DesignKey DESIGN_KEYS[] = {
    {"Symmetry", &DesignParams::Symmetry, 0},
    {"Spin", &DesignParams::Spin, SIGNED_OFFSET},
    {"LineSize", &DesignParams::LineSize, 0},
    {"TrailLength", &DesignParams::TrailLength, 0},
    {"Speed", &DesignParams::Speed, 0},
    {"Cheese", &DesignParams::Cheese, 0},
    {"Rotations", &DesignParams::Rotations, SIGNED_OFFSET},
    {"ColorBands", &DesignParams::ColorBands, 0},
    {"ColorBandWidth", &DesignParams::ColorBandWidth, 0},
    {"ColorRotation", &DesignParams::ColorRotation, 0},
    {"Depth", &DesignParams::Depth, 0},
    {"Floating", &DesignParams::Floating, 0},
    {"Migrating", &DesignParams::Migrating, 0},
    {"Splitting", &DesignParams::Splitting, 0},
    {"Snazziness", &DesignParams::Snazziness, 0},
    {"CheeseType", &DesignParams::CheeseType, 0},
    {"PenWidth", &DesignParams::PenWidth, 0},
};

// Keys that are not held take the store's initial value as their default.
const SettingsStore &Initial() {
  static const SettingsStore initial;
  return initial;
}

std::string PotLuckKey(int index) { return "PotLuck" + std::to_string(index); }

void LimitColor(int32_t &minimum, int32_t &maximum) {
  if (minimum > COLOR_MIN_LIMIT) minimum = COLOR_MIN_LIMIT;
  if (minimum < 1) minimum = 0;
  if (maximum > COLOR_MAX_LIMIT) maximum = COLOR_MAX_LIMIT;
  if (maximum <= minimum + 1) maximum = minimum + 1;
}

// A held sensitivity is its own default, passed as a whole number.
void ReadSensitivity(const SettingsStore &store, const char *key, double &held) {
  held = ReadSettingInt(store, key, static_cast<int32_t>(held));
}

uint32_t SecondsToMs(int32_t seconds) {
  if (seconds <= 0) return 0;
  const uint64_t ms = uint64_t(seconds) * 1000;
  return ms > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(ms);
}

void ReadColorsAndDesign(SettingsStore &store) {
  const SettingsStore &initial = Initial();
  for (const DesignKey &key : DESIGN_KEYS) {
    store.Design.*key.Field =
        ReadSettingInt(store, key.Name, initial.Design.*key.Field + key.Offset) - key.Offset;
  }
  store.Design.Symmetry = std::min(store.Design.Symmetry, SYMMETRY_LIMIT);
  store.NegativeSpin = store.Design.Spin < 0;
  store.Refresh = ReadSettingInt(store, "Refresh", initial.Refresh);
  store.Polite = ReadSettingInt(store, "Polite", initial.Polite);
  store.RedMin = ReadSettingInt(store, "redMin", initial.RedMin);
  store.GreenMin = ReadSettingInt(store, "greenMin", initial.GreenMin);
  store.BlueMin = ReadSettingInt(store, "blueMin", initial.BlueMin);
  store.RedMax = ReadSettingInt(store, "redMax", initial.RedMax);
  store.GreenMax = ReadSettingInt(store, "greenMax", initial.GreenMax);
  store.BlueMax = ReadSettingInt(store, "blueMax", initial.BlueMax);
}

void ReadAudioAndSpeed(SettingsStore &store) {
  const SettingsStore &initial = Initial();
  store.AudioBlankTimeMs = SecondsToMs(
      ReadSettingInt(store, "AudioBlankTime", static_cast<int32_t>(store.AudioBlankTimeMs / 1000)));
  store.SpeedGroupSize =
      std::min(ReadSettingInt(store, "SpeedGroupSize", initial.SpeedGroupSize), GROUP_SIZE_MAX);
  store.SpeedInterval = ReadSettingInt(store, "SpeedInterval", initial.SpeedInterval);
  store.Divisor = std::min(ReadSettingInt(store, "Divisor", initial.Divisor), DIVISOR_MAX);
  store.AudioSampleRate = ReadSettingInt(store, "AudioSampleRate", initial.AudioSampleRate);
  store.AudioBitsPerSample =
      ReadSettingInt(store, "AudioBitsPerSample", initial.AudioBitsPerSample);
  store.AudioChannels = initial.AudioChannels;
}

void ReadMusicSettings(SettingsStore &store) {
  const SettingsStore &initial = Initial();
  store.Audio = ReadSettingInt(store, "Audio", initial.Audio);
  store.MusicInterval =
      static_cast<uint16_t>(ReadSettingInt(store, "MusicInterval", store.MusicInterval));
  store.Version = ReadSettingInt(store, "Version", initial.Version);
  store.RecordingDevice = ReadSettingInt(store, "RecordingDevice", store.RecordingDevice);
  ReadSensitivity(store, "MusicBands", store.MusicBands);
  ReadSensitivity(store, "MusicSpin", store.MusicSpin);
  ReadSensitivity(store, "MusicGreenBands", store.MusicGreenBands);
  ReadSensitivity(store, "MusicBlueBands", store.MusicBlueBands);
  ReadSensitivity(store, "MusicRedBands", store.MusicRedBands);
  store.SplitFactor =
      SplitFactorFor(ReadSettingInt(store, "MusicSplitting", DEFAULT_MUSIC_SPLITTING));
}

}  // namespace

uint32_t DesignIntervalFor(int32_t refreshSeconds) {
  const uint32_t ms = SecondsToMs(refreshSeconds);
  return ms == 0 ? NEVER_CHANGE_INTERVAL_MS : ms;
}

double SplitFactorFor(int32_t musicSplitting) {
  // The audio dialog stores at least 1; a hand-edited 0 or less must not divide by zero.
  if (musicSplitting < 1) musicSplitting = 1;
  return 150.0 / musicSplitting;
}

int32_t ReadSettingInt(const SettingsStore &store, const char *key, int32_t defaultValue) {
  return static_cast<int32_t>(
      GetPrivateProfileIntA(SETTINGS_SECTION, key, defaultValue, store.ProfileName.c_str()));
}

std::string ReadSettingString(const SettingsStore &store, const char *key, int maxChars,
                              const char *defaultValue) {
  std::vector<char> buffer(static_cast<size_t>(maxChars) + 1, '\0');
  const DWORD length =
      GetPrivateProfileStringA(SETTINGS_SECTION, key, defaultValue, buffer.data(),
                               static_cast<DWORD>(buffer.size()), store.ProfileName.c_str());
  return std::string(buffer.data(), length < buffer.size() ? length : buffer.size() - 1);
}

void WriteSettingString(const SettingsStore &store, const char *key, const std::string &value) {
  WritePrivateProfileStringA(SETTINGS_SECTION, key, value.c_str(), store.ProfileName.c_str());
}

void WriteSettingInt(const SettingsStore &store, const char *key, uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
  WriteSettingString(store, key, text);
}

long ReadLastSpeed(const SettingsStore &store) {
  const double speed = std::strtod(
      ReadSettingString(store, "LastSpeed", LAST_SPEED_MAX_CHARS, "0").c_str(), nullptr);
  // A hand-edited number beyond the range of long must not reach the conversion.
  if (!(speed > double(LONG_MIN) && speed < double(LONG_MAX))) return 0;
  return static_cast<long>(speed);
}

void LoadSettings(SettingsStore &store) {
  ReadColorsAndDesign(store);
  LimitColor(store.RedMin, store.RedMax);
  LimitColor(store.GreenMin, store.GreenMax);
  LimitColor(store.BlueMin, store.BlueMax);

  store.Reflections = ReadSettingInt(store, "Reflections", Initial().Reflections);
  if (store.Reflections > REFLECTIONS_MAX) store.Reflections = REFLECTIONS_MAX;
  ReadAudioAndSpeed(store);
  if (store.Reflections == 1) store.Reflections = 0;
  ReadMusicSettings(store);

  if (store.Refresh < 0) store.Refresh = 0;
  store.DesignIntervalMs = DesignIntervalFor(store.Refresh);

  for (int i = 0; i < POT_LUCK_COUNT; ++i)
    store.Design.PotLuck[i] = ReadSettingInt(store, PotLuckKey(i).c_str(), 0) != 0;
  store.AllRandom = ReadSettingInt(store, "AllRandom", Initial().AllRandom);
  store.FavList = ReadFavList(store);

  if (ReadFavoriteSlot(store, 1, 1).empty()) SeedFavorites(store);
  if (store.Version < SETTINGS_VERSION) {
    for (const UpgradeDesign &design : UPGRADE_DESIGNS)
      InstallDesignIfMissing(store, design.SearchName, design.Text);
  }
  if (store.Version != SETTINGS_VERSION) {
    store.Version = SETTINGS_VERSION;
    WriteSettingInt(store, "Version", SETTINGS_VERSION);
  }
}

void SaveSettings(const SettingsStore &store) {
  const DesignParams &d = store.Design;
  const auto write = [&store](const char *key, int32_t value) {
    WriteSettingInt(store, key, static_cast<uint32_t>(value));
  };
  write("Symmetry", d.Symmetry);
  write("Spin", d.Spin + SIGNED_OFFSET);
  write("LineSize", d.LineSize);
  write("TrailLength", d.TrailLength);
  write("Speed", d.Speed);
  write("Cheese", d.Cheese);
  write("Rotations", d.Rotations + SIGNED_OFFSET);
  write("ColorBands", d.ColorBands);
  write("ColorBandWidth", d.ColorBandWidth);
  write("ColorRotation", d.ColorRotation);
  write("Refresh", store.Refresh);
  for (int i = 0; i < POT_LUCK_COUNT; ++i) write(PotLuckKey(i).c_str(), d.PotLuck[i] ? 1 : 0);
  write("AllRandom", store.AllRandom);
  write("Polite", store.Polite);
  write("Audio", store.Audio);
  write("Version", store.Version);
  if (store.AllRandom) {
    WriteSettingString(store, "FavList",
                       store.FavList.empty() ? AllSlotsEligible() : store.FavList);
  }
  write("Depth", d.Depth);
  write("Floating", d.Floating);
  write("Migrating", d.Migrating);
  write("Splitting", d.Splitting);
  write("PenWidth", d.PenWidth);
  write("Snazziness", d.Snazziness);
  write("CheeseType", d.CheeseType);
  write("Reflections", store.Reflections);
  write("AudioBlankTime", static_cast<int32_t>(store.AudioBlankTimeMs / 1000));
}
