#include "settings/favorites_list.h"

#include <algorithm>
#include <cctype>

#include "settings/favorites.h"

namespace {

bool NameBefore(const std::string &a, const std::string &b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

int InsertLine(FavoritesView &view, const std::string &name) {
  const auto at = std::upper_bound(
      view.Lines.begin(), view.Lines.end(), name,
      [](const std::string &n, const FavoriteLine &line) { return NameBefore(n, line.Name); });
  const int index = static_cast<int>(at - view.Lines.begin());
  view.Lines.insert(at, FavoriteLine{name, false});
  if (view.CurrentLine >= index) ++view.CurrentLine;
  return index;
}

void EraseLine(FavoritesView &view, int index) {
  view.Lines.erase(view.Lines.begin() + index);
  if (view.CurrentLine == index) {
    view.CurrentLine = -1;
  } else if (view.CurrentLine > index) {
    --view.CurrentLine;
  }
}

std::string ReadSlotHead(const SettingsStore &store, int slot) {
  return ReadFavoriteSlot(store, slot, FAVORITE_NAME_MAX_CHARS);
}

// The first slot from firstSlot to 255 holding a design of this name, or -1.
int FindSlotNamed(const SettingsStore &store, const std::string &name, int firstSlot) {
  for (int slot = firstSlot; slot <= FAVORITE_SLOT_LAST; ++slot) {
    const std::string head = ReadSlotHead(store, slot);
    if (!head.empty() && SameDesignName(DesignName(head), name)) return slot;
  }
  return -1;
}

int FirstFreeSlot(const SettingsStore &store) {
  for (int slot = 1; slot <= FAVORITE_SLOT_LAST; ++slot) {
    if (ReadFavoriteSlot(store, slot, 1).empty()) return slot;
  }
  return -1;
}

// A comma would end the name early and a control character the whole string; the profile file
// drops leading blanks of a value, so a name kept with them could never be found again.
std::string UsableFavoriteName(const std::string &typed) {
  std::string name;
  for (char c : typed) {
    if (c == ',' || static_cast<unsigned char>(c) < 0x20) continue;
    if (name.empty() && c == ' ') continue;
    name += c;
  }
  return name.substr(0, FAVORITE_NAME_MAX_CHARS);
}

}  // namespace

FavoritesView ListFavorites(const SettingsStore &store) {
  FavoritesView view;
  int used = 0;
  for (int slot = 1; slot <= FAVORITE_SLOT_LAST; ++slot) {
    const std::string head = ReadSlotHead(store, slot);
    if (head.empty()) continue;
    ++used;
    if (!store.AllRandom || SlotIsEligible(store.FavList, slot)) InsertLine(view, DesignName(head));
  }
  view.ChooseRandomlyEnabled = used >= 2;
  view.ChooseRandomlyChecked = store.AllRandom != 0;
  view.ListEnabled = view.DesignControlsEnabled = !store.AllRandom;
  return view;
}

bool AddFavorite(const SettingsStore &store, FavoritesView &view, const std::string &name,
                 const DesignParams &record, const DisplayedDesign &shown) {
  const std::string usable = UsableFavoriteName(name);
  if (usable.empty()) return false;
  for (size_t i = 0; i < view.Lines.size(); ++i) {
    if (!SameDesignName(view.Lines[i].Name, usable)) continue;
    const int old = FindSlotNamed(store, usable, 1);
    if (old > 0) WriteFavoriteSlot(store, old, "");
    EraseLine(view, static_cast<int>(i));
    break;
  }
  const int slot = FirstFreeSlot(store);
  if (slot < 0) return false;
  WriteFavoriteSlot(store, slot, FormatFavoriteDesign(usable, record, shown));
  view.CurrentLine = InsertLine(view, usable);
  if (view.Lines.size() > 1) view.ChooseRandomlyEnabled = true;
  return true;
}

void RemoveSelectedFavorites(const SettingsStore &store, FavoritesView &view) {
  for (int i = static_cast<int>(view.Lines.size()) - 1; i >= 0; --i) {
    if (!view.Lines[i].Selected) continue;
    const int slot = FindSlotNamed(store, view.Lines[i].Name, 1);
    if (slot < 0) continue;
    WriteFavoriteSlot(store, slot, "");
    EraseLine(view, i);
  }
  if (view.Lines.size() < 2) view.ChooseRandomlyEnabled = false;
}

bool LoadFavoriteByName(SettingsStore &store, const std::string &name, bool hasPalette) {
  const int slot = FindSlotNamed(store, name, 0);
  if (slot < 0) return false;
  const ParsedDesign parsed =
      ParseDesignString(ReadFavoriteSlot(store, slot, FAVORITE_DIALOG_MAX_CHARS), store.Design,
                        ParseMode::ForDialog, hasPalette);
  store.Design = parsed.Design;
  store.NegativeSpin = parsed.NegativeSpin;
  return true;
}

void ChooseRandomlyOn(SettingsStore &store, FavoritesView &view) {
  const auto selected = std::count_if(view.Lines.begin(), view.Lines.end(),
                                      [](const FavoriteLine &line) { return line.Selected; });
  if (selected > 1) {
    // One flag for every slot the dialog can fill, so a favourite far down the slots stays
    // eligible.
    std::string flags;
    for (int slot = 1; slot <= FAVORITE_SLOT_LAST; ++slot) {
      const std::string head = ReadSlotHead(store, slot);
      const bool chosen =
          !head.empty() &&
          std::any_of(view.Lines.begin(), view.Lines.end(), [&](const FavoriteLine &line) {
            return line.Selected && SameDesignName(line.Name, DesignName(head));
          });
      flags += chosen ? 'Y' : 'N';
    }
    store.FavList = flags;
    for (int i = static_cast<int>(view.Lines.size()) - 1; i >= 0; --i) {
      if (!view.Lines[i].Selected) EraseLine(view, i);
    }
  } else {
    store.FavList.clear();
  }
  for (FavoriteLine &line : view.Lines) line.Selected = false;
  store.AllRandom = 1;
  view.ChooseRandomlyChecked = true;
  view.TopLine = 0;
  view.ListEnabled = false;
  view.DesignControlsEnabled = false;
}

void ChooseRandomlyOff(SettingsStore &store, FavoritesView &view) {
  store.AllRandom = 0;
  view.ChooseRandomlyChecked = false;
  view.Lines.clear();
  view.CurrentLine = -1;
  for (int slot = 1; slot <= FAVORITE_SLOT_LAST; ++slot) {
    const std::string head = ReadSlotHead(store, slot);
    if (head.empty()) continue;
    view.Lines[InsertLine(view, DesignName(head))].Selected = SlotIsEligible(store.FavList, slot);
  }
  view.ListEnabled = true;
  view.DesignControlsEnabled = true;
}
