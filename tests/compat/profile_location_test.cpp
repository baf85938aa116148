// Our profile files on Linux: where they live, that every untouched byte survives a write,
// the answers we give where Wine's functions differ from Windows, and that writes stay whole
// and complete across failures, kills and concurrent processes.
#include <windows.h>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/profile_file_fixture.h"

namespace {

namespace fs = std::filesystem;

// Sets or clears an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char *name, const char *value) : name_(name) {
    if (const char *old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnvironment() { Set(old_ ? old_->c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment &) = delete;
  ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

 private:
  void Set(const char *value) {
    if (value != nullptr) {
      setenv(name_.c_str(), value, 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  std::string name_;
  std::optional<std::string> old_;
};

// A fresh folder in the temp folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    path_ = fs::temp_directory_path() / ("lumivane-profile-" + std::to_string(getpid()) + "-" +
                                         std::to_string(counter_++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string operator/(const std::string &name) const { return (path_ / name).string(); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

int ExitCodeOf(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(ProfileLocation, BareNamesLiveInThePerUserFolder) {
  ScratchFolder scratch;
  ScopedEnvironment home("HOME", (scratch / "user").c_str());
  ScopedEnvironment xdg("XDG_CONFIG_HOME", nullptr);
  ScopedEnvironment lumivane("LUMIVANE_HOME", nullptr);

  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Version", "29", "control.ini"));
  EXPECT_TRUE(fs::exists(scratch / "user/.config/lumivane/control.ini"));

  setenv("XDG_CONFIG_HOME", (scratch / "xdg").c_str(), 1);
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Version", "30", "control.ini"));
  EXPECT_TRUE(fs::exists(scratch / "xdg/lumivane/control.ini"));

  // LUMIVANE_HOME wins, its folders are made on the first write, and reads follow it.
  setenv("LUMIVANE_HOME", (scratch / "home/nested").c_str(), 1);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Version", 0, "control.ini"), 0u);
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Version", "31", "control.ini"));
  EXPECT_TRUE(fs::exists(scratch / "home/nested/control.ini"));
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Version", 0, "control.ini"), 31u);
  setenv("LUMIVANE_HOME", "", 1);
  EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", "Version", 0, "control.ini"), 30u);

  // A name with a separator is a path as given; its folder is not made for it.
  const std::string windowsStyle = scratch / "user\\direct.ini";
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "v", windowsStyle.c_str()));
  EXPECT_TRUE(fs::exists(scratch / "user/direct.ini"));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", (scratch / "missing/x.ini").c_str()));
  EXPECT_FALSE(fs::exists(scratch / "missing"));

  // A file reached through a symbolic link is changed where it lies; the link stays.
  fs::create_symlink(scratch / "user/direct.ini", scratch / "link.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "linked", (scratch / "link.ini").c_str()));
  EXPECT_TRUE(fs::is_symlink(scratch / "link.ini"));
  char value[16];
  GetPrivateProfileStringA("S", "k", "", value, sizeof value, windowsStyle.c_str());
  EXPECT_STREQ(value, "linked");

  // An empty name is no file at all.
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", ""));
  EXPECT_EQ(GetPrivateProfileIntA("S", "k", 7, ""), 7u);
}

using ProfileBytes = ProfileFileFixture;

TEST_F(ProfileBytes, KeepsEveryByteOfUnrelatedLines) {
  const std::string nul("a\0b", 3);
  const std::string original =
      "\xEF\xBB\xBF; comment\n"
      "\n"
      "[Other]\n"
      "  alpha = 1 \n"
      "garbage \x01\xFE\xFF " + nul + "\n"
      "[Lumivane 95]\r\n"
      "\tSymmetry =  7\r\n"
      "Speed=80\r"
      "\r\n"
      "[Tail]\n"
      "omega=9";
  WriteFile(original);

  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Symmetry", "9", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Added", "1", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("Tail", "Last", "2", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("New", "k", "3", path()));
  // The file's first line break is the one new lines get.
  EXPECT_EQ(ReadFile(),
            "\xEF\xBB\xBF; comment\n"
            "\n"
            "[Other]\n"
            "  alpha = 1 \n"
            "garbage \x01\xFE\xFF " + nul + "\n"
            "[Lumivane 95]\r\n"
            "Symmetry=9\r\n"
            "Speed=80\r"
            "Added=1\n"
            "\r\n"
            "[Tail]\n"
            "omega=9\n"
            "Last=2\n"
            "[New]\n"
            "k=3\n");

  // Writing the value a key already has leaves the file alone: it is not even replaced.
  struct stat before {}, after {};
  ASSERT_EQ(stat(path(), &before), 0);
  ASSERT_TRUE(WritePrivateProfileStringA("lumivane 95", "SPEED", "80", path()));
  ASSERT_EQ(stat(path(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
}

// Wine's functions answer these differently; the answers here are those of Windows or, where
// Windows is not known, the ones that lose nothing.
TEST_F(ProfileBytes, AnswersAsWindowsWhereWineDiffers) {
  WriteFile(
      "lead=before\r\n"
      "[]\r\n"
      "lead=bracketed\r\n"
      "[s]\r\n"
      "=nameless\r\n"
      "k=1\r\n"
      "q=\"quoted\"\r\n");
  char buffer[32];

  // A quoted value that exactly fits keeps its last character.
  EXPECT_EQ(GetPrivateProfileStringA("s", "q", "", buffer, 7, path()), 6u);
  EXPECT_STREQ(buffer, "quoted");

  // A cut list still ends in two NULs.
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "", buffer, 4, path()), 2u);
  EXPECT_EQ(std::string(buffer, 4), std::string("k\0\0\0", 4));

  // The empty section name means "[]", never the lines before the first section.
  EXPECT_EQ(Get("", "lead", "dflt"), "bracketed");
  // An empty key name is found by name but cannot be part of a NUL-separated list.
  EXPECT_EQ(Get("s", "", "dflt"), "nameless");
  EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "", buffer, sizeof buffer, path()), 4u);
  EXPECT_EQ(std::string(buffer, 5), std::string("k\0q\0\0", 5));

  // Names and values that would forge other lines are refused, the file untouched.
  const std::string before = ReadFile();
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "1\r\n[evil]\r\nx=2", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k=x", "v", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("s]\n[t", "k", "v", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k\n", nullptr, path()));
  EXPECT_EQ(ReadFile(), before);

  // Blanks around names are not stored.
  ASSERT_TRUE(WritePrivateProfileStringA(" Spaced ", "  key  ", "v", path()));
  EXPECT_EQ(ReadFile(), before + "[Spaced]\r\nkey=v\r\n");
}

TEST(ProfileDurability, DeletingFromAMissingFileCreatesNothing) {
  ScratchFolder scratch;
  const std::string file = scratch / "control.ini";
  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", nullptr, file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("S", nullptr, nullptr, file.c_str()));
  EXPECT_FALSE(fs::exists(file));
}

TEST(ProfileDurability, AFullDiskLeavesTheOldFileWhole) {
  ScratchFolder scratch;
  const std::string file = scratch / "control.ini";
  const std::string original = "[Lumivane 95]\r\nSpeed=80\r\n";
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Speed", "80", file.c_str()));

  // The child may write no file larger than the current one: the disk is full for it.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(original.size()), static_cast<rlim_t>(original.size())};
    setrlimit(RLIMIT_FSIZE, &limit);
    const BOOL stored =
        WritePrivateProfileStringA("Lumivane 95", "Speed", std::string(500, '9').c_str(),
                                   file.c_str());
    _exit(stored ? 1 : 0);
  }
  EXPECT_EQ(ExitCodeOf(child), 0) << "the failed write was reported as stored";

  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), original);
  EXPECT_EQ(scratch.Entries(), (std::vector<std::string>{"control.ini", "control.ini.lock"}));
}

TEST(ProfileDurability, AKilledWriterNeverLeavesAPartialFile) {
  ScratchFolder scratch;
  const std::string file = scratch / "control.ini";
  std::string seed = "[Lumivane 95]\r\n";
  for (int i = 0; i < 2000; ++i) seed += "Base" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  {
    std::ofstream out(file, std::ios::binary);
    out << seed;
  }

  for (int round = 0; round < 4; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) {
        const std::string key = "Round" + std::to_string(round) + "Key" + std::to_string(i);
        WritePrivateProfileStringA("Lumivane 95", key.c_str(), "1", file.c_str());
      }
    }
    usleep(60000 + round * 25000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    // Every key of the seed is there, and the round's keys form an unbroken run.
    for (int i = 0; i < 2000; i += 97) {
      const std::string key = "Base" + std::to_string(i);
      ASSERT_EQ(GetPrivateProfileIntA("Lumivane 95", key.c_str(), -1, file.c_str()),
                static_cast<UINT>(i));
    }
    ASSERT_EQ(GetPrivateProfileIntA("Lumivane 95", "Base1999", -1, file.c_str()), 1999u);
    int written = 0;
    while (GetPrivateProfileIntA("Lumivane 95",
                                 ("Round" + std::to_string(round) + "Key" + std::to_string(written))
                                     .c_str(),
                                 0, file.c_str()) == 1) {
      ++written;
    }
    const std::string next = "Round" + std::to_string(round) + "Key" + std::to_string(written + 1);
    EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", next.c_str(), 0, file.c_str()), 0u);
  }
}

TEST(ProfileConcurrency, ProcessesWritingDifferentKeysLoseNothing) {
  ScratchFolder scratch;
  const std::string file = scratch / "control.ini";
  constexpr int WRITERS = 3;
  constexpr int KEYS = 40;
  std::vector<pid_t> children;
  for (int writer = 0; writer < WRITERS; ++writer) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      bool ok = true;
      for (int i = 0; i < KEYS; ++i) {
        const std::string key = "Writer" + std::to_string(writer) + "Key" + std::to_string(i);
        ok &= WritePrivateProfileStringA("Lumivane 95", key.c_str(), std::to_string(i).c_str(),
                                         file.c_str()) != FALSE;
      }
      _exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  for (pid_t child : children) EXPECT_EQ(ExitCodeOf(child), 0);

  for (int writer = 0; writer < WRITERS; ++writer) {
    for (int i = 0; i < KEYS; ++i) {
      const std::string key = "Writer" + std::to_string(writer) + "Key" + std::to_string(i);
      EXPECT_EQ(GetPrivateProfileIntA("Lumivane 95", key.c_str(), -1, file.c_str()),
                static_cast<UINT>(i))
          << key;
    }
  }
}

}  // namespace
