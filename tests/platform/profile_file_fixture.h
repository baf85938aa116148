// A profile file of its own for each test, in the temp folder, with plain byte access to it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class ProfileFileFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = std::string("lumivane-") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                             std::to_string(std::random_device{}()) + ".ini";
    path_ = (std::filesystem::temp_directory_path() / name).string();
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    std::filesystem::remove(path_ + ".lock", ignored);
  }

  const char *path() const { return path_.c_str(); }
  void WriteFile(const std::string &text) const {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
  }
  std::string ReadFile() const {
    std::ifstream file(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  std::string Get(const char *section, const char *key, const char *defaultValue = "") const {
    char buffer[256];
    return std::string(buffer, GetPrivateProfileStringA(section, key, defaultValue, buffer,
                                                        sizeof buffer, path()));
  }

 private:
  std::string path_;
};
