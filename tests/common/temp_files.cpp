#include "common/temp_files.h"

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Test binaries run side by side, so a name carries a random part as well as the test's name.
std::string Unique() { return std::to_string(std::random_device{}()); }

}  // namespace

std::string FileBytes(const fs::path &path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TempFolder::TempFolder(const std::string &purpose) {
  do {
    path_ = fs::temp_directory_path() / ("lumivane-" + purpose + "-" + Unique());
  } while (!fs::create_directory(path_));
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

TempProfile::TempProfile() {
  // Unique per test, so no profile service can hand back a cached copy of another test's file.
  static int count = 0;
  path_ = (fs::temp_directory_path() /
           ("lumivane-profile-" + std::to_string(++count) + "-" + Unique() + ".ini"))
              .string();
  Remove();
}

TempProfile::~TempProfile() { Remove(); }

void TempProfile::Remove() const {
  std::error_code ignored;
  fs::remove(path_, ignored);
  fs::remove(path_ + ".lock", ignored);
}

void TempProfile::WriteFile(const std::string &text) const {
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
}

std::string TempProfile::ReadFile() const { return FileBytes(path_); }

std::string TempProfile::Get(const char *section, const std::string &key,
                             const char *absent) const {
  char value[1024];
  const DWORD length =
      GetPrivateProfileStringA(section, key.c_str(), absent, value, sizeof value, path_.c_str());
  return std::string(value, length);
}

void TempProfile::Put(const char *section, const std::string &key, const std::string &value) const {
  WritePrivateProfileStringA(section, key.c_str(), value.c_str(), path_.c_str());
}
