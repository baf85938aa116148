// The favourite slots: numbered design strings in the settings section, slot 0 the last design
// shown.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_store.h"

// Slots 1 to 255 are the user's favourites; a hand-edited file can also reach slot 256.
constexpr int FAVORITE_SLOT_LAST = 255;
constexpr int FAVORITE_PICK_SLOT_LAST = 256;
constexpr int FAVORITE_NAME_MAX_CHARS = 48;
// How much of a slot the saver reads to show it, and the dialog to load it.
constexpr int FAVORITE_PLAY_MAX_CHARS = 98;
constexpr int FAVORITE_DIALOG_MAX_CHARS = 248;

// "Favorite<slot>".
std::string FavoriteKey(int slot);
// At most maxChars characters of the slot; empty for a free slot.
std::string ReadFavoriteSlot(const SettingsStore &store, int slot, int maxChars);
// An empty text frees the slot (the key stays in the file).
void WriteFavoriteSlot(const SettingsStore &store, int slot, const std::string &text);

// The text before the first comma.
std::string DesignName(const std::string &designString);
// Favourite names compare without regard to case.
bool SameDesignName(const std::string &a, const std::string &b);

// FavList as the loader and the saver's random pick read it; an absent key makes every slot
// eligible.
std::string ReadFavList(const SettingsStore &store);
// The FavList that makes every slot eligible.
std::string AllSlotsEligible();
// Whether FavList lets the saver's random pick take this slot.
bool SlotIsEligible(const std::string &favList, int slot);
// Whether some slot from 1 to 256 is both eligible and holds a design; without one the saver's
// random pick would never end.
bool AnyEligibleFavorite(const SettingsStore &store, const std::string &favList);

// Writes the first built-in designs into slots 1 to 23, each only where the slot is free, so a
// design the user keeps there survives a later seeding.
void SeedFavorites(const SettingsStore &store);
// Installs a later built-in design unless a slot from 1 to 59 already mentions searchName; it goes
// into the first free slot from 24 to 99. Returns whether it was written.
bool InstallDesignIfMissing(const SettingsStore &store, const char *searchName,
                            const char *designString);
