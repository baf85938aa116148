#include "tools/saver_setup.h"

#include <windows.h>

#include <stdlib.h>

#include <filesystem>
#include <system_error>

#include "settings/design_string.h"
#include "settings/favorites.h"
#include "settings/settings_store.h"

namespace {

// The slot that holds the named favourite, 0 when none does.
int FavoriteSlotNamed(const SettingsStore &store, const std::string &name) {
  for (int slot = 1; slot <= FAVORITE_SLOT_LAST; ++slot)
    if (SameDesignName(DesignName(ReadFavoriteSlot(store, slot, FAVORITE_PLAY_MAX_CHARS)), name))
      return slot;
  return 0;
}

// Only this slot is eligible, so every random pick lands on it.
std::string OnlySlotEligible(int slot) {
  std::string flags(static_cast<size_t>(slot), 'N');
  flags[static_cast<size_t>(slot) - 1] = 'Y';
  return flags;
}

}  // namespace

ThrowawayHome::ThrowawayHome() {
  std::error_code failed;
  std::string pattern = (std::filesystem::temp_directory_path(failed) / "lumivane-home-XXXXXX");
  if (failed) pattern = "/tmp/lumivane-home-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return;
  path_ = pattern;
  if (const char *previous = getenv("LUMIVANE_HOME")) {
    hadHome_ = true;
    previousHome_ = previous;
  }
  setenv("LUMIVANE_HOME", path_.c_str(), 1);
}

ThrowawayHome::~ThrowawayHome() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  if (hadHome_)
    setenv("LUMIVANE_HOME", previousHome_.c_str(), 1);
  else
    unsetenv("LUMIVANE_HOME");
}

bool WriteSaverSettings(const SaverSetup &setup, std::string *error) {
  SettingsStore store;
  // The first load seeds the favourites that ship with the saver, as a first run would.
  LoadSettings(store);
  if (!setup.favorite.empty()) {
    const int slot = FavoriteSlotNamed(store, setup.favorite);
    if (slot == 0) {
      *error = "no favourite named '" + setup.favorite + "'; there are: " + FavoriteNames();
      return false;
    }
    store.AllRandom = 1;
    store.FavList = OnlySlotEligible(slot);
  } else if (!setup.design.empty()) {
    const ParsedDesign parsed = ParseDesignString(setup.design, store.Design, ParseMode::ForPlay);
    store.Design = parsed.Design;
    store.AllRandom = 0;
  }
  if (setup.holdDesign) store.Refresh = 0;
  SaveSettings(store);
  if (setup.speedGroupSize > 0)
    WriteSettingInt(store, "SpeedGroupSize", static_cast<uint32_t>(setup.speedGroupSize));
  if (setup.speedInterval > 0)
    WriteSettingInt(store, "SpeedInterval", static_cast<uint32_t>(setup.speedInterval));
  if (setup.audio) {
    WriteSettingInt(store, "Audio", 1);
    WriteSettingInt(store, "RecordingDevice", 0);
  }
  return true;
}

std::string FavoriteNames() {
  SettingsStore store;
  std::string names;
  for (int slot = 1; slot <= FAVORITE_SLOT_LAST; ++slot) {
    const std::string text = ReadFavoriteSlot(store, slot, FAVORITE_PLAY_MAX_CHARS);
    if (text.empty()) continue;
    if (!names.empty()) names += ", ";
    names += "\"" + DesignName(text) + "\"";
  }
  return names;
}
