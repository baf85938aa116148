// Our profile files on Linux: where they live, every untouched byte kept, our answers where
// Wine's functions differ, and whole files across a full disk, killed and concurrent writers.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "common/temp_files.h"

namespace {

namespace fs = std::filesystem;

class ProfileFile : public ::testing::Test, protected TempProfile {};

// Runs `body` in a child process and returns its exit code.
template <typename Body>
int InChild(Body body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status)
                                                                               : -1;
}

UINT Int(const char *key, const std::string &file) {
  return GetPrivateProfileIntA("Lumivane 95", key, 12345, file.c_str());
}

TEST_F(ProfileFile, BareNamesLiveInThePerUserFolder) {
  const std::string root = std::string(path()) + ".d";
  const char *const variables[] = {"HOME", "XDG_CONFIG_HOME", "LUMIVANE_HOME"};
  std::vector<std::pair<const char *, std::string>> saved;
  for (const char *name : variables) {
    if (const char *value = std::getenv(name)) saved.emplace_back(name, value);
    unsetenv(name);
  }
  const struct {
    const char *variable, *value, *file;
  } places[] = {{"HOME", "/user", "/user/.config/lumivane/control.ini"},
                {"XDG_CONFIG_HOME", "/xdg", "/xdg/lumivane/control.ini"},
                {"LUMIVANE_HOME", "/home/nested", "/home/nested/control.ini"}};
  for (const auto &place : places) {
    setenv(place.variable, (root + place.value).c_str(), 1);
    EXPECT_EQ(GetPrivateProfileIntA("S", "Where", 0, "control.ini"), 0u) << place.variable;
    ASSERT_TRUE(WritePrivateProfileStringA("S", "Where", "1", "control.ini")) << place.variable;
    EXPECT_TRUE(fs::exists(root + place.file)) << place.variable;
  }
  for (const char *name : variables) unsetenv(name);
  for (const auto &[name, value] : saved) setenv(name, value.c_str(), 1);

  // A name with a separator is a path as given, its folder not made; a link stays a link.
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "v", (root + "\\direct.ini").c_str()));
  fs::create_symlink(root + "/direct.ini", root + "/link.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "linked", (root + "/link.ini").c_str()));
  EXPECT_TRUE(fs::is_symlink(root + "/link.ini"));
  EXPECT_EQ(GetPrivateProfileIntA("S", "Where", 0, (root + "/home/nested/control.ini").c_str()),
            1u);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", (root + "/missing/x.ini").c_str()));
  EXPECT_FALSE(fs::exists(root + "/missing"));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", ""));
  fs::remove_all(root);
}

TEST_F(ProfileFile, KeepsEveryByteOfUnrelatedLines) {
  const std::string before = "\xEF\xBB\xBF; comment\n\n[Other]\n  alpha = 1 \ngarbage \x01\xFE" +
                             std::string("a\0b", 3) + "\n[Lumivane 95]\r\n\tSymmetry =  7\r\n";
  WriteFile(before + "Speed=80\r\r\n[Tail]\nomega=9");
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Symmetry", "9", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Added", "1", path()));
  ASSERT_TRUE(WritePrivateProfileStringA("Tail", "Last", "2", path()));
  ASSERT_TRUE(WritePrivateProfileStringA(" New ", " k ", "3", path()));
  // The changed line alone is rewritten; new lines take the file's first line break.
  const std::string changed = before.substr(0, before.find("\tSymmetry"));
  EXPECT_EQ(ReadFile(), changed +
                            "Symmetry=9\r\nSpeed=80\rAdded=1\n\r\n[Tail]\nomega=9\nLast=2\n"
                            "[New]\nk=3\n");

  // The value a key already has is not written again: the file is not even replaced.
  struct stat first {
  }, second{};
  stat(path(), &first);
  ASSERT_TRUE(WritePrivateProfileStringA("lumivane 95", "SPEED", "80", path()));
  stat(path(), &second);
  EXPECT_EQ(first.st_ino, second.st_ino);
}

// Wine's functions answer these differently: ours are those of Windows where known, else the
// ones that lose nothing.
TEST_F(ProfileFile, AnswersAsWindowsWhereWineDiffers) {
  WriteFile("lead=before\r\n[]\r\nlead=bracketed\r\n[s]\r\n=nameless\r\nk=1\r\nq=\"quoted\"\r\n");
  char buffer[32];
  EXPECT_EQ(GetPrivateProfileStringA("s", "q", "", buffer, 7, path()), 6u);  // exactly fits
  EXPECT_STREQ(buffer, "quoted");
  EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "", buffer, 4, path()), 2u);
  EXPECT_EQ(std::string(buffer, 4), std::string("k\0\0\0", 4));  // a cut list ends in two NULs
  EXPECT_EQ(Get("", "lead"), "bracketed");                       // "" is "[]", not the lead
  EXPECT_EQ(Get("s", ""), "nameless");
  EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "", buffer, sizeof buffer, path()), 4u);
  EXPECT_EQ(std::string(buffer, 5), std::string("k\0q\0\0", 5));  // "" cannot be listed

  // Names and values that would forge other lines are refused; deleting creates no file.
  const std::string text = ReadFile();
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "1\r\n[evil]\r\nx=2", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k=x", "v", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("s]\n[t", "k", "v", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("s", " [t", "x]", path()));
  EXPECT_EQ(ReadFile(), text);
  fs::remove(path());
  EXPECT_TRUE(WritePrivateProfileStringA("s", "k", nullptr, path()));
  EXPECT_TRUE(WritePrivateProfileStringA("s", nullptr, nullptr, path()));
  EXPECT_FALSE(fs::exists(path()));
}

TEST_F(ProfileFile, AFullDiskOrAKilledWriterLeavesAWholeFile) {
  std::string seed = "[Lumivane 95]\r\n";
  for (int i = 0; i < 2000; ++i) seed += "Base" + std::to_string(i) + "=7\r\n";
  WriteFile(seed);
  const std::string file = path();

  // With no room for a larger file (ulimit -f) the write fails and says so; the process lives
  // on, with the signal's default action in place, and leaves no temporary file behind.
  const auto temporaries = [&file] {
    int count = 0;
    for (const auto &entry : fs::directory_iterator(fs::path(file).parent_path()))
      count += entry.path().string().find(file + ".new-") != std::string::npos;
    return count;
  };
  EXPECT_EQ(InChild([&] {
              signal(SIGXFSZ, SIG_DFL);
              const rlimit limit{seed.size(), seed.size()};
              setrlimit(RLIMIT_FSIZE, &limit);
              const bool first = WritePrivateProfileStringA("Lumivane 95", "Base0", "77", file.c_str());
              const bool second = WritePrivateProfileStringA("Lumivane 95", "Base1", "77", file.c_str());
              return first || second ? 1 : 0;
            }),
            0);
  EXPECT_EQ(ReadFile(), seed);
  EXPECT_EQ(temporaries(), 0);

  // Killed at any moment, a writer leaves all old keys and an unbroken run of its own.
  for (int round = 0; round < 4; ++round) {
    const pid_t child = fork();
    if (child == 0) {
      for (int i = 0;; ++i) {
        WritePrivateProfileStringA("Lumivane 95", ("New" + std::to_string(i)).c_str(), "1",
                                   file.c_str());
      }
    }
    usleep(40000 + round * 30000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(Int("Base0", file) + Int("Base1000", file) + Int("Base1999", file), 21u);
    int run = 0;
    while (Int(("New" + std::to_string(run)).c_str(), file) == 1) ++run;
    EXPECT_EQ(Int(("New" + std::to_string(run + 1)).c_str(), file), 12345u);
  }
  // The next write clears away what killed writers left beside the file.
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "Base0", "8", file.c_str()));
  for (const auto &entry : fs::directory_iterator(fs::path(file).parent_path())) {
    EXPECT_EQ(entry.path().string().find(file + ".new-"), std::string::npos) << entry.path();
  }
}

TEST_F(ProfileFile, ReadOnlyFilesAndLinksAreWrittenAsTheUserLeftThem) {
  // A file without write permission is refused, even to root, and stays as it was.
  WriteFile("[S]\nk=old\n");
  fs::permissions(path(), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "new", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("S", nullptr, nullptr, path()));
  EXPECT_EQ(ReadFile(), "[S]\nk=old\n");
  EXPECT_EQ(fs::status(path()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::group_read);
  fs::permissions(path(), fs::perms::owner_read | fs::perms::owner_write);

  // A dangling link, relative or absolute, through a chain of links: the target is created.
  const fs::path folder = std::string(path()) + ".d";
  fs::create_directories(folder / "real");
  fs::create_symlink("real/target.ini", folder / "relative.ini");
  fs::create_symlink(folder / "relative.ini", folder / "chain.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "v", (folder / "chain.ini").c_str()));
  EXPECT_TRUE(fs::is_symlink(folder / "chain.ini"));
  EXPECT_TRUE(fs::is_symlink(folder / "relative.ini"));
  EXPECT_TRUE(fs::is_regular_file(folder / "real/target.ini"));
  EXPECT_EQ(GetPrivateProfileIntA("S", "k", 0, (folder / "real/target.ini").c_str()), 0u);
  char value[8] = "";
  GetPrivateProfileStringA("S", "k", "", value, sizeof value, (folder / "relative.ini").c_str());
  EXPECT_STREQ(value, "v");
  // A loop of links names no file: refused, and both links stay.
  fs::create_symlink(folder / "b.ini", folder / "a.ini");
  fs::create_symlink(folder / "a.ini", folder / "b.ini");
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", (folder / "a.ini").c_str()));
  EXPECT_TRUE(fs::is_symlink(folder / "a.ini"));
  // A link to a read-only file is refused too.
  fs::permissions(folder / "real/target.ini", fs::perms::owner_read);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "w", (folder / "relative.ini").c_str()));
  fs::remove_all(folder);
}

TEST_F(ProfileFile, ReadsSeeEveryChangeOfTheFileWhateverMadeIt) {
  const std::string file = path();
  WriteFile("[Lumivane 95]\nA=1\n");
  EXPECT_EQ(Int("A", file), 1u);
  // Another process's write through the API.
  EXPECT_EQ(InChild([&] { return WritePrivateProfileStringA("Lumivane 95", "A", "2", file.c_str()) ? 0 : 1; }), 0);
  EXPECT_EQ(Int("A", file), 2u);
  // An editor rewriting in place with the same size, and one replacing the file.
  WriteFile("[Lumivane 95]\nA=3\n");
  EXPECT_EQ(Int("A", file), 3u);
  const std::string replacement = file + ".other";
  std::ofstream(replacement) << "[Lumivane 95]\nA=4\n";
  fs::rename(replacement, file);
  EXPECT_EQ(Int("A", file), 4u);
  // Our own write, then a deleted file.
  ASSERT_TRUE(WritePrivateProfileStringA("Lumivane 95", "A", "5", file.c_str()));
  EXPECT_EQ(Int("A", file), 5u);
  fs::remove(file);
  EXPECT_EQ(Int("A", file), 12345u);
}

TEST_F(ProfileFile, ProcessesWritingDifferentKeysLoseNothing) {
  const std::string file = path();
  pid_t writers[3];
  for (int w = 0; w < 3; ++w) {
    if ((writers[w] = fork()) == 0) {
      bool stored = true;
      for (int i = 0; i < 40; ++i) {
        const std::string key = "W" + std::to_string(w) + "K" + std::to_string(i);
        stored &= WritePrivateProfileStringA("Lumivane 95", key.c_str(), "1", file.c_str()) != 0;
      }
      _exit(stored ? 0 : 1);
    }
  }
  for (pid_t writer : writers) {
    int status = -1;
    waitpid(writer, &status, 0);
    EXPECT_EQ(status, 0);
  }
  for (int w = 0; w < 3; ++w) {
    for (int i = 0; i < 40; ++i) {
      EXPECT_EQ(Int(("W" + std::to_string(w) + "K" + std::to_string(i)).c_str(), file), 1u);
    }
  }
}

}  // namespace
