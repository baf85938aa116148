#include "temp_profile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

TempProfile::TempProfile() {
  // Unique per test, so no profile service can hand back a cached copy of another test's file.
  static int count = 0;
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = std::string("lumivane-") + test->test_suite_name() + "-" + test->name() + "-" +
                           std::to_string(++count) + ".ini";
  path_ = (std::filesystem::temp_directory_path() / name).string();
  std::remove(path_.c_str());
}

TempProfile::~TempProfile() { std::remove(path_.c_str()); }

SettingsStore TempProfile::Store() const {
  SettingsStore store;
  store.ProfileName = path_;
  return store;
}

std::string TempProfile::Get(const std::string& key) const {
  char value[1024];
  const DWORD length =
      GetPrivateProfileStringA(SETTINGS_SECTION, key.c_str(), "<absent>", value, sizeof value, path_.c_str());
  return std::string(value, length);
}

void TempProfile::Put(const std::string& key, const std::string& value) const {
  WritePrivateProfileStringA(SETTINGS_SECTION, key.c_str(), value.c_str(), path_.c_str());
}
