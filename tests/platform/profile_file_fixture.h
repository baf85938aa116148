// A profile file of its own for each test, in the temp folder, with plain byte access to it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

class ProfileFileFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = std::string("lumivane-") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                             "-" + std::to_string(std::random_device{}()) + ".ini";
    path_ = (std::filesystem::temp_directory_path() / name).string();
  }

  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    std::filesystem::remove(path_ + ".lock", ignored);
  }

  const char *path() const { return path_.c_str(); }

  void WriteFile(const std::string &text) const {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file << text;
    ASSERT_TRUE(file.good());
  }

  std::string ReadFile() const {
    std::ifstream file(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  std::string Get(const char *section, const char *key, const char *defaultValue = "") const {
    std::vector<char> buffer(4096);
    const DWORD length = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), path());
    return std::string(buffer.data(), length);
  }

  // The file's lines without blanks at either end, blank lines left out.
  static std::vector<std::string> NonBlankLines(const std::string &text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find_first_of("\r\n", start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      line.erase(0, line.find_first_not_of(" \t"));
      line.erase(line.find_last_not_of(" \t") + 1);
      if (!line.empty()) lines.push_back(line);
      start = end + 1;
    }
    return lines;
  }

 private:
  std::string path_;
};
