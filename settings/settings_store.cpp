#include "settings/settings_store.h"

#include <windows.h>

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
constexpr int32_t MUSIC_SPLITTING_MIN = 1;
constexpr int32_t MUSIC_SPLITTING_MAX = 32760;
constexpr int LAST_SPEED_MAX_CHARS = 18;

struct DesignKey {
  const char* Name;
  int32_t DesignParams::*Field;
  int32_t Default;
};

// Read in this order; Spin and Rotations carry the offset.
constexpr DesignKey DESIGN_KEYS[] = {
    {"Symmetry", &DesignParams::Symmetry, 7},
    {"Spin", &DesignParams::Spin, 1000},
    {"LineSize", &DesignParams::LineSize, 100},
    {"TrailLength", &DesignParams::TrailLength, 120},
    {"Speed", &DesignParams::Speed, 80},
    {"Cheese", &DesignParams::Cheese, 0},
    {"Rotations", &DesignParams::Rotations, 1008},
    {"ColorBands", &DesignParams::ColorBands, 0},
    {"ColorBandWidth", &DesignParams::ColorBandWidth, 11},
    {"ColorRotation", &DesignParams::ColorRotation, 1},
    {"Depth", &DesignParams::Depth, 1},
    {"Floating", &DesignParams::Floating, 0},
    {"Migrating", &DesignParams::Migrating, 0},
    {"Splitting", &DesignParams::Splitting, 1000},
    {"Snazziness", &DesignParams::Snazziness, 1},
    {"CheeseType", &DesignParams::CheeseType, 1},
    {"PenWidth", &DesignParams::PenWidth, 1},
};

std::string PotLuckKey(int index) { return "PotLuck" + std::to_string(index); }

void LimitColor(int32_t& minimum, int32_t& maximum) {
  if (minimum > COLOR_MIN_LIMIT) minimum = COLOR_MIN_LIMIT;
  if (minimum < 1) minimum = 0;
  if (maximum > COLOR_MAX_LIMIT) maximum = COLOR_MAX_LIMIT;
  if (maximum <= minimum + 1) maximum = minimum + 1;
}

// A held sensitivity is its own default, passed as a whole number.
void ReadSensitivity(const SettingsStore& store, const char* key, double& held) {
  held = ReadSettingInt(store, key, static_cast<int32_t>(held));
}

uint32_t SecondsToMs(int32_t seconds) {
  if (seconds <= 0) return 0;
  const uint64_t ms = uint64_t(seconds) * 1000;
  return ms > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(ms);
}

void ReadColorsAndDesign(SettingsStore& store) {
  for (const DesignKey& key : DESIGN_KEYS)
    store.Design.*key.Field = ReadSettingInt(store, key.Name, key.Default);
  store.Design.Spin -= SIGNED_OFFSET;
  store.Design.Rotations -= SIGNED_OFFSET;
  store.NegativeSpin = store.Design.Spin < 0;
  store.Refresh = ReadSettingInt(store, "Refresh", 60);
  store.Polite = ReadSettingInt(store, "Polite", 1);
  store.RedMin = ReadSettingInt(store, "redMin", 0);
  store.GreenMin = ReadSettingInt(store, "greenMin", 0);
  store.BlueMin = ReadSettingInt(store, "blueMin", 0);
  store.RedMax = ReadSettingInt(store, "redMax", 255);
  store.GreenMax = ReadSettingInt(store, "greenMax", 255);
  store.BlueMax = ReadSettingInt(store, "blueMax", 255);
}

void ReadAudioAndSpeed(SettingsStore& store) {
  store.AudioBlankTimeMs = SecondsToMs(
      ReadSettingInt(store, "AudioBlankTime", static_cast<int32_t>(store.AudioBlankTimeMs / 1000)));
  store.SpeedGroupSize = ReadSettingInt(store, "SpeedGroupSize", 12);
  store.SpeedInterval = ReadSettingInt(store, "SpeedInterval", 20);
  store.Divisor = ReadSettingInt(store, "Divisor", 1);
  store.AudioSampleRate = ReadSettingInt(store, "AudioSampleRate", 22050);
  store.AudioBitsPerSample = ReadSettingInt(store, "AudioBitsPerSample", 16);
  store.AudioChannels = 2;
}

void ReadMusicSettings(SettingsStore& store) {
  store.Audio = ReadSettingInt(store, "Audio", 0);
  store.MusicInterval = static_cast<uint16_t>(ReadSettingInt(store, "MusicInterval", store.MusicInterval));
  store.Version = ReadSettingInt(store, "Version", 0);
  store.RecordingDevice = ReadSettingInt(store, "RecordingDevice", store.RecordingDevice);
  ReadSensitivity(store, "MusicBands", store.MusicBands);
  ReadSensitivity(store, "MusicSpin", store.MusicSpin);
  ReadSensitivity(store, "MusicGreenBands", store.MusicGreenBands);
  ReadSensitivity(store, "MusicBlueBands", store.MusicBlueBands);
  ReadSensitivity(store, "MusicRedBands", store.MusicRedBands);
  store.SplitFactor = SplitFactorFor(ReadSettingInt(store, "MusicSplitting", 100));
}

}  // namespace

uint32_t DesignIntervalFor(int32_t refreshSeconds) {
  const uint32_t ms = SecondsToMs(refreshSeconds);
  return ms == 0 ? NEVER_CHANGE_INTERVAL_MS : ms;
}

double SplitFactorFor(int32_t musicSplitting) {
  // The audio dialog stores 1 to 32760; a hand-edited 0 or less must not divide by zero.
  if (musicSplitting < MUSIC_SPLITTING_MIN) musicSplitting = MUSIC_SPLITTING_MIN;
  if (musicSplitting > MUSIC_SPLITTING_MAX) musicSplitting = MUSIC_SPLITTING_MAX;
  return 150.0 / musicSplitting;
}

int32_t ReadSettingInt(const SettingsStore& store, const char* key, int32_t defaultValue) {
  return static_cast<int32_t>(
      GetPrivateProfileIntA(SETTINGS_SECTION, key, defaultValue, store.ProfileName.c_str()));
}

std::string ReadSettingString(const SettingsStore& store, const char* key, int maxChars,
                              const char* defaultValue) {
  std::vector<char> buffer(static_cast<size_t>(maxChars) + 1, '\0');
  const DWORD length = GetPrivateProfileStringA(SETTINGS_SECTION, key, defaultValue, buffer.data(),
                                                static_cast<DWORD>(buffer.size()), store.ProfileName.c_str());
  return std::string(buffer.data(), length < buffer.size() ? length : buffer.size() - 1);
}

void WriteSettingString(const SettingsStore& store, const char* key, const std::string& value) {
  WritePrivateProfileStringA(SETTINGS_SECTION, key, value.c_str(), store.ProfileName.c_str());
}

void WriteSettingInt(const SettingsStore& store, const char* key, uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
  WriteSettingString(store, key, text);
}

long ReadLastSpeed(const SettingsStore& store) {
  return static_cast<long>(
      std::strtod(ReadSettingString(store, "LastSpeed", LAST_SPEED_MAX_CHARS, "0").c_str(), nullptr));
}

void LoadSettings(SettingsStore& store) {
  ReadColorsAndDesign(store);
  LimitColor(store.RedMin, store.RedMax);
  LimitColor(store.GreenMin, store.GreenMax);
  LimitColor(store.BlueMin, store.BlueMax);

  store.Reflections = ReadSettingInt(store, "Reflections", 0);
  if (store.Reflections > REFLECTIONS_MAX) store.Reflections = REFLECTIONS_MAX;
  ReadAudioAndSpeed(store);
  if (store.Reflections == 1) store.Reflections = 0;
  ReadMusicSettings(store);

  if (store.Refresh < 0) store.Refresh = 0;
  store.DesignIntervalMs = DesignIntervalFor(store.Refresh);

  for (int i = 0; i < POT_LUCK_COUNT; ++i)
    store.Design.PotLuck[i] = ReadSettingInt(store, PotLuckKey(i).c_str(), 0) != 0;
  store.AllRandom = ReadSettingInt(store, "AllRandom", 0);
  store.FavList =
      ReadSettingString(store, "FavList", FAV_LIST_MAX_CHARS, std::string(FAV_LIST_MAX_CHARS, 'Y').c_str());

  if (ReadFavoriteSlot(store, 1, 1).empty()) SeedFavorites(store);
  if (store.Version < SETTINGS_VERSION) {
    for (const UpgradeDesign& design : UPGRADE_DESIGNS)
      InstallDesignIfMissing(store, design.SearchName, design.Text);
  }
  if (store.Version != SETTINGS_VERSION) {
    store.Version = SETTINGS_VERSION;
    WriteSettingInt(store, "Version", SETTINGS_VERSION);
  }
}

void SaveSettings(const SettingsStore& store) {
  const DesignParams& d = store.Design;
  const auto write = [&store](const char* key, int32_t value) {
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
                       store.FavList.empty() ? std::string(FAV_LIST_MAX_CHARS, 'Y') : store.FavList);
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
