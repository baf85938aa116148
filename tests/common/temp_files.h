// Files and folders of a test's own in the temporary folder, gone when the object goes; so a
// run of the tests leaves nothing behind.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "settings/settings_store.h"

// The whole content of a file, as bytes; empty when it cannot be read.
std::string FileBytes(const std::filesystem::path &path);

// A fresh, empty folder with a unique name starting "lumivane-<purpose>-".
class TempFolder {
 public:
  explicit TempFolder(const std::string &purpose);
  ~TempFolder();
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;

  const std::filesystem::path &Path() const { return path_; }
  std::string File(const std::string &name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A profile file of its own for the running test, read and written through the real profile
// functions or as plain bytes. The lock file the profile service keeps beside it goes with it.
class TempProfile {
 public:
  TempProfile();
  ~TempProfile();
  TempProfile(const TempProfile &) = delete;
  TempProfile &operator=(const TempProfile &) = delete;

  const char *path() const { return path_.c_str(); }
  void WriteFile(const std::string &text) const;
  std::string ReadFile() const;
  std::string Get(const char *section, const std::string &key,
                  const char *absent = "<absent>") const;
  void Put(const char *section, const std::string &key, const std::string &value) const;

  // The settings section and a store whose profile is this file, every other field initial.
  SettingsStore Store() const {
    SettingsStore store;
    store.ProfileName = path_;
    return store;
  }
  std::string Get(const std::string &key) const { return Get(SETTINGS_SECTION, key); }
  void Put(const std::string &key, const std::string &value) const {
    Put(SETTINGS_SECTION, key, value);
  }
  std::string Slot(int slot) const { return Get("Favorite" + std::to_string(slot)); }
  void PutSlot(int slot, const std::string &text) const {
    Put("Favorite" + std::to_string(slot), text);
  }

 private:
  void Remove() const;
  std::string path_;
};
