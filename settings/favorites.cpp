#include "settings/favorites.h"

#include <cctype>

#include "settings/builtin_designs.h"

namespace {

// Slots the upgrade searches for an existing copy, and where it may put a new one.
constexpr int UPGRADE_SEARCH_LAST = 59;
constexpr int UPGRADE_FIRST_SLOT = 24;
constexpr int UPGRADE_LAST_SLOT = 99;
// Enough for any design string the system writes, so a search name is never cut off.
constexpr int WHOLE_DESIGN_MAX_CHARS = 1024;

}  // namespace

std::string FavoriteKey(int slot) { return "Favorite" + std::to_string(slot); }

std::string ReadFavoriteSlot(const SettingsStore &store, int slot, int maxChars) {
  return ReadSettingString(store, FavoriteKey(slot).c_str(), maxChars);
}

void WriteFavoriteSlot(const SettingsStore &store, int slot, const std::string &text) {
  WriteSettingString(store, FavoriteKey(slot).c_str(), text);
}

std::string DesignName(const std::string &designString) {
  return designString.substr(0, designString.find(','));
}

bool SameDesignName(const std::string &a, const std::string &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string AllSlotsEligible() { return std::string(FAV_LIST_MAX_CHARS, 'Y'); }

std::string ReadFavList(const SettingsStore &store) {
  return ReadSettingString(store, "FavList", FAV_LIST_MAX_CHARS, AllSlotsEligible().c_str());
}

bool SlotIsEligible(const std::string &favList, int slot) {
  return slot >= 1 && static_cast<size_t>(slot) <= favList.size() && favList[slot - 1] == 'Y';
}

bool AnyEligibleFavorite(const SettingsStore &store, const std::string &favList) {
  for (int slot = 1; slot <= FAVORITE_PICK_SLOT_LAST; ++slot) {
    if (SlotIsEligible(favList, slot) &&
        !ReadFavoriteSlot(store, slot, FAVORITE_PLAY_MAX_CHARS).empty()) {
      return true;
    }
  }
  return false;
}

void SeedFavorites(const SettingsStore &store) {
  for (int i = 0; i < SEEDED_DESIGN_COUNT; ++i) {
    const int slot = i + 1;
    if (ReadFavoriteSlot(store, slot, 1).empty()) WriteFavoriteSlot(store, slot, SEEDED_DESIGNS[i]);
  }
}

bool InstallDesignIfMissing(const SettingsStore &store, const char *searchName,
                            const char *designString) {
  for (int slot = 1; slot <= UPGRADE_SEARCH_LAST; ++slot) {
    if (ReadFavoriteSlot(store, slot, WHOLE_DESIGN_MAX_CHARS).find(searchName) !=
        std::string::npos) {
      return false;
    }
  }
  for (int slot = UPGRADE_FIRST_SLOT; slot <= UPGRADE_LAST_SLOT; ++slot) {
    if (ReadFavoriteSlot(store, slot, 1).empty()) {
      WriteFavoriteSlot(store, slot, designString);
      return true;
    }
  }
  return false;
}
