// A profile file of its own for each test, in the temporary folder, read and written through the
// real profile functions.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "settings/settings_store.h"

class TempProfile {
 public:
  TempProfile();
  ~TempProfile();
  TempProfile(const TempProfile&) = delete;
  TempProfile& operator=(const TempProfile&) = delete;

  // A store whose profile is this file, every other field at its initial value.
  SettingsStore Store() const;
  std::string Get(const std::string& key) const;
  void Put(const std::string& key, const std::string& value) const;
  std::string Slot(int slot) const { return Get("Favorite" + std::to_string(slot)); }
  void PutSlot(int slot, const std::string& text) const { Put("Favorite" + std::to_string(slot), text); }
  void PutSlots(std::initializer_list<std::pair<int, const char*>> slots) const {
    for (const auto& [slot, text] : slots) PutSlot(slot, text);
  }

 private:
  std::string path_;
};
