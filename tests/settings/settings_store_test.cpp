#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <utility>

#include "common/temp_files.h"
#include "settings/builtin_designs.h"

// Which design lands in which slot, and that none follows, is held by the render tool's
// showcase test.
TEST(SettingsStore, FirstLoadOfAnEmptyProfileWritesTheBuiltInDesignsAndVersionOnly) {
  TempProfile profile;
  SettingsStore store = profile.Store();
  LoadSettings(store);
  EXPECT_EQ(profile.Get("Version"), "29");
  EXPECT_EQ(profile.Get("Symmetry"), "<absent>");
  EXPECT_EQ(store.FavList, std::string(256, 'Y'));

  // A second load finds everything in place and adds nothing.
  SettingsStore again = profile.Store();
  LoadSettings(again);
  EXPECT_EQ(profile.Slot(40), "<absent>");
}

TEST(SettingsStore, LoadDecodesAndLimitsStoredValues) {
  TempProfile profile;
  // Out of range, reversed limits, names in any case; pacing and symmetry bounded to what the
  // dialogs and the pattern allow, a long interval only waiting longer.
  for (const auto &[key, value] : {std::pair{"Spin", "995"},
                                   {"Rotations", "1000"},
                                   {"Refresh", "0"},
                                   {"redMin", "300"},
                                   {"redMax", "100"},
                                   {"GREENMIN", "40"},
                                   {"greenMax", "20"},
                                   {"BlueMin", "-5"},
                                   {"Reflections", "1"},
                                   {"MusicSplitting", "0"},
                                   {"PotLuck8", "1"},
                                   {"AudioBlankTime", "100"},
                                   {"LastSpeed", "1234.9"},
                                   {"Symmetry", "2147483647"},
                                   {"SpeedGroupSize", "2147483647"},
                                   {"Divisor", "2147483647"},
                                   {"SpeedInterval", "2147483647"}})
    profile.Put(key, value);
  // Keys the profile lacks keep the values the store holds.
  SettingsStore store = profile.Store();
  store.MusicBands = 73.9;
  store.RecordingDevice = 3;
  store.MusicInterval = 75;
  LoadSettings(store);

  EXPECT_DOUBLE_EQ(store.MusicBands, 73.0);
  EXPECT_DOUBLE_EQ(store.MusicSpin, 100.0);
  EXPECT_EQ(store.RecordingDevice, 3);
  EXPECT_EQ(store.MusicInterval, 75);
  EXPECT_EQ(store.Design.Spin, -5);
  EXPECT_TRUE(store.NegativeSpin);
  EXPECT_EQ(store.Design.Rotations, 0);
  EXPECT_EQ(store.DesignIntervalMs, NEVER_CHANGE_INTERVAL_MS);
  EXPECT_EQ(store.RedMin, 254);
  EXPECT_EQ(store.RedMax, 255);
  EXPECT_EQ(store.GreenMin, 40);
  EXPECT_EQ(store.GreenMax, 41);
  EXPECT_EQ(store.BlueMin, 0);
  EXPECT_EQ(store.Reflections, 0);
  EXPECT_DOUBLE_EQ(store.SplitFactor, 150.0);
  EXPECT_TRUE(store.Design.PotLuck[POT_LUCK_COLOR_ROTATION]);
  EXPECT_EQ(store.AudioBlankTimeMs, 100000u);
  EXPECT_EQ(store.Design.Symmetry, SYMMETRY_LIMIT);
  EXPECT_EQ(store.SpeedGroupSize, 1000);
  EXPECT_EQ(store.Divisor, 50);
  EXPECT_EQ(store.SpeedInterval, 2147483647);
  EXPECT_EQ(ReadLastSpeed(store), 1234);
  profile.Put("LastSpeed", "1e400");
  EXPECT_EQ(ReadLastSpeed(store), 0);

  // Below the dialogs' ranges a value only draws less: it passes unchanged.
  for (const auto &[key, value] : {std::pair{"Reflections", "12"},
                                   {"Refresh", "-3"},
                                   {"Symmetry", "4294967295"},
                                   {"SpeedGroupSize", "0"},
                                   {"Divisor", "0"}})
    profile.Put(key, value);
  WritePrivateProfileStringA(SETTINGS_SECTION, "AudioBlankTime", nullptr, profile.path());
  store.AudioBlankTimeMs = 25000;
  LoadSettings(store);
  EXPECT_EQ(store.Reflections, 9);
  EXPECT_EQ(store.Refresh, 0);
  EXPECT_EQ(store.AudioBlankTimeMs, 25000u);
  EXPECT_EQ(store.Design.Symmetry, -1);
  EXPECT_EQ(store.SpeedGroupSize, 0);
  EXPECT_EQ(store.Divisor, 0);
}

TEST(SettingsStore, VersionUpgradeAndReseedingInstallOnlyMissingDesigns) {
  TempProfile profile;
  profile.Put("Version", "35");
  SettingsStore store = profile.Store();
  LoadSettings(store);
  EXPECT_EQ(profile.Get("Version"), "29");
  EXPECT_EQ(profile.Slot(23), SEEDED_DESIGNS[22]);
  EXPECT_EQ(profile.Slot(24), "<absent>");

  TempProfile older;
  older.Put("Version", "28");
  for (const auto &[slot, text] : {std::pair{1, "Mine,1,2,3,4,5,6,1,8,9,10"},
                                   {24, "Taken,1"},
                                   {40, "My Shimmer,1"},
                                   {59, "Old Audio Settings,1"},
                                   {60, "Sparks,1"}})
    older.PutSlot(slot, text);
  SettingsStore upgraded = older.Store();
  LoadSettings(upgraded);
  EXPECT_EQ(older.Slot(1), "Mine,1,2,3,4,5,6,1,8,9,10");
  EXPECT_EQ(older.Slot(2), "<absent>");
  EXPECT_EQ(older.Slot(24), "Taken,1");
  EXPECT_EQ(older.Slot(25), UPGRADE_DESIGNS[0].Text);  // "Audio! Settings" is not "Audio Settings"
  EXPECT_EQ(older.Slot(26), UPGRADE_DESIGNS[2].Text);  // Shimmer is present in slot 40
  // Sparks in slot 60 is beyond the search, so a copy goes in; "Audio Settings 95" is skipped.
  int sparks = 0, audio95 = 0;
  for (int slot = 1; slot <= 99; ++slot) {
    sparks += older.Slot(slot).rfind("Sparks,", 0) == 0;
    audio95 += older.Slot(slot).rfind("Audio Settings 95,", 0) == 0;
  }
  EXPECT_EQ(sparks, 2);
  EXPECT_EQ(audio95, 0);
  EXPECT_EQ(older.Slot(38), UPGRADE_DESIGNS[15].Text);  // fourteen installed, slots 25 to 38
  EXPECT_EQ(older.Slot(39), "<absent>");

  // The current version only fills emptied seed slots again.
  TempProfile current;
  current.Put("Version", "29");
  current.PutSlot(1, "");
  current.PutSlot(5, "Kept,1,2,3,4,5,6,1,8,9,10");
  SettingsStore reseeded = current.Store();
  LoadSettings(reseeded);
  EXPECT_EQ(current.Slot(1), SEEDED_DESIGNS[0]);
  EXPECT_EQ(current.Slot(5), "Kept,1,2,3,4,5,6,1,8,9,10");
  EXPECT_EQ(current.Slot(24), "<absent>");
}

TEST(SettingsStore, SaveWritesWhatLoadReadsBack) {
  TempProfile profile;
  SettingsStore store = profile.Store();
  LoadSettings(store);
  store.Design.Spin = -30;
  store.Design.Rotations = -90;
  store.Design.Splitting = 32000;
  store.Design.PotLuck[POT_LUCK_CHEESE] = true;
  store.Refresh = 86400;  // a day: more than 16 bits hold
  store.AudioBlankTimeMs = 100000;
  store.Reflections = 4;
  SaveSettings(store);
  EXPECT_EQ(profile.Get("Spin"), "970");
  EXPECT_EQ(profile.Get("Rotations"), "910");
  EXPECT_EQ(profile.Get("Refresh"), "86400");
  EXPECT_EQ(profile.Get("FavList"), "<absent>") << "the favourites dialog's tests hold the rest";
  EXPECT_EQ(profile.Get("AudioBlankTime"), "100");

  SettingsStore loaded = profile.Store();
  LoadSettings(loaded);
  for (int i = 0; i < DESIGN_FIELD_COUNT; ++i)
    EXPECT_EQ(loaded.Design.Field(i), store.Design.Field(i)) << i;
  for (int i = 0; i < POT_LUCK_COUNT; ++i)
    EXPECT_EQ(loaded.Design.PotLuck[i], store.Design.PotLuck[i]) << i;
  EXPECT_TRUE(loaded.NegativeSpin);
  EXPECT_EQ(loaded.DesignIntervalMs, 86400000u);
  EXPECT_EQ(loaded.Reflections, 4);
}
