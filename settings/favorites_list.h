// The favourites as the configuration dialog shows them: a sorted list of names over the slots,
// the Choose Randomly box, and the operations its buttons call. The dialog only mirrors this state.
#pragma once

#include <string>
#include <vector>

#include "settings/design_string.h"
#include "settings/settings_store.h"

struct FavoriteLine {
  std::string Name;
  bool Selected = false;
};

struct FavoritesView {
  // Sorted by name without regard to case.
  std::vector<FavoriteLine> Lines;
  int CurrentLine = -1;
  int TopLine = 0;
  bool ListEnabled = true;
  bool ChooseRandomlyEnabled = false;
  bool ChooseRandomlyChecked = false;
  // The design's scrollbars, boxes and edits, Add, Remove and Last Pattern.
  bool DesignControlsEnabled = true;
};

// The list when the dialog opens: every favourite, or with AllRandom set only the eligible ones.
FavoritesView ListFavorites(const SettingsStore &store);

// Stores the design under the name (replacing a listed favourite of the same name) in the first
// free slot. Commas and control characters are dropped from the name, which keeps at most 48
// characters. Returns false when nothing was stored: no usable name, or no free slot.
bool AddFavorite(const SettingsStore &store, FavoritesView &view, const std::string &name,
                 const DesignParams &record, const DisplayedDesign &shown);

// Frees the slot of every selected line; a line whose slot is gone already stays.
void RemoveSelectedFavorites(const SettingsStore &store, FavoritesView &view);

// Reads the first slot from 0 to 255 with this name into store.Design as the dialog loads it.
// Returns false, changing nothing, when no slot has the name.
bool LoadFavoriteByName(SettingsStore &store, const std::string &name, bool hasPalette);

// The Choose Randomly box. On: the selected lines (two or more) become the eligible set, or with at
// most one selected every favourite does; the list and the design controls are disabled.
void ChooseRandomlyOn(SettingsStore &store, FavoritesView &view);
// Off: every favourite is listed again, the eligible ones selected, and the controls enabled.
void ChooseRandomlyOff(SettingsStore &store, FavoritesView &view);
