// Our profile files on Linux: where they live, every untouched byte kept, our answers where
// Wine's functions differ, and whole files across a full disk, killed and concurrent writers.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/temp_files.h"

namespace {

namespace fs = std::filesystem;

class ProfileFile : public ::testing::Test, protected TempProfile {
 protected:
  UINT Int(const std::string &key) const {
    return GetPrivateProfileIntA("Lumivane 95", key.c_str(), 12345, path());
  }
  bool Write(const std::string &key, const char *value) const {
    return WritePrivateProfileStringA("Lumivane 95", key.c_str(), value, path());
  }
  // Files a writer left beside the profile: temporaries of an unfinished replacement.
  int Temporaries() const {
    int count = 0;
    for (const auto &entry : fs::directory_iterator(fs::path(path()).parent_path()))
      count += entry.path().string().find(std::string(path()) + ".new-") != std::string::npos;
    return count;
  }
};

// Runs `body` in a child process, which exits with what it returns.
template <typename Body>
pid_t Spawn(Body body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  return child;
}

// The child's exit code; -1 when it did not exit by itself.
int ExitCode(pid_t child) {
  int status = 0;
  const bool exited = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status);
  return exited ? WEXITSTATUS(status) : -1;
}

TEST_F(ProfileFile, BareNamesLiveInThePerUserFolderTheVariablesName) {
  const std::string root = std::string(path()) + ".d";
  // Each variable overrides those before it, and its folders are made. In a child process, so
  // that the environment it changes is its own; it exits with the number of a failed place.
  EXPECT_EQ(ExitCode(Spawn([&] {
              const struct {
                const char *variable, *value, *file;
              } places[] = {{"HOME", "/user", "/user/.config/lumivane/control.ini"},
                            {"XDG_CONFIG_HOME", "/xdg", "/xdg/lumivane/control.ini"},
                            {"LUMIVANE_HOME", "/home/nested", "/home/nested/control.ini"}};
              for (const auto &place : places) unsetenv(place.variable);
              for (int i = 0; i < 3; ++i) {
                setenv(places[i].variable, (root + places[i].value).c_str(), 1);
                if (GetPrivateProfileIntA("S", "Where", 0, "control.ini") != 0 ||
                    !WritePrivateProfileStringA("S", "Where", "1", "control.ini") ||
                    !fs::exists(root + places[i].file))
                  return i + 1;
              }
              return 0;
            })),
            0);

  fs::remove_all(root);
}

TEST_F(ProfileFile, KeepsEveryByteOfUnrelatedLines) {
  const std::string before = "\xEF\xBB\xBF; comment\n\n[Other]\n  alpha = 1 \ngarbage \x01\xFE" +
                             std::string("a\0b", 3) + "\n[Lumivane 95]\r\n\tSymmetry =  7\r\n";
  WriteFile(before + "Speed=80\rSymmetry=8\r\r\n[Tail]\nomega=9");
  ASSERT_TRUE(Write("Symmetry", "9"));
  ASSERT_TRUE(Write("Added", "1"));
  ASSERT_TRUE(WritePrivateProfileStringA("Tail", "Last", "2", path()));
  ASSERT_TRUE(WritePrivateProfileStringA(" New ", " k ", "3", path()));
  // Only the first line of a key is rewritten; new lines follow the last line of their
  // section and take the file's first line break.
  const std::string changed = before.substr(0, before.find("\tSymmetry"));
  EXPECT_EQ(ReadFile(),
            changed +
                "Symmetry=9\r\nSpeed=80\rSymmetry=8\rAdded=1\n\r\n[Tail]\nomega=9\nLast=2\n"
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
  EXPECT_EQ(Get("", "lead"), "bracketed");  // "" is "[]", not the lead
  EXPECT_EQ(Get("s", ""), "nameless");

  // Names and values that would forge other lines are refused.
  const std::string text = ReadFile();
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "1\r\n[evil]\r\nx=2", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("s", "k=x", "v", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("s]\n[t", "k", "v", path()));
  EXPECT_FALSE(WritePrivateProfileStringA("s", " [t", "x]", path()));
  EXPECT_EQ(ReadFile(), text);
}

TEST_F(ProfileFile, AFullDiskAKilledOrAConcurrentWriterLeavesAWholeFile) {
  std::string seed = "[Lumivane 95]\r\n";
  for (int i = 0; i < 2000; ++i) seed += "Base" + std::to_string(i) + "=7\r\n";
  WriteFile(seed);

  // With no room for a larger file (ulimit -f) the write fails and says so; the process lives
  // on, with the signal's default action in place, and leaves no temporary file behind.
  EXPECT_EQ(ExitCode(Spawn([&] {
              signal(SIGXFSZ, SIG_DFL);
              const rlimit limit{seed.size(), seed.size()};
              setrlimit(RLIMIT_FSIZE, &limit);
              return Write("Base0", "77") || Write("Base1", "77") ? 1 : 0;
            })),
            0);
  EXPECT_EQ(ReadFile(), seed);
  EXPECT_EQ(Temporaries(), 0);

  // Killed at any moment, a writer leaves all old keys and an unbroken run of its own; one
  // writing beside it loses nothing, and is not held up by the lock the killed one held.
  const auto key = [](int round, int i) {
    return "R" + std::to_string(round) + "K" + std::to_string(i);
  };
  for (int round = 0; round < 4; ++round) {
    const pid_t killed = Spawn([&]() -> int {
      for (int i = 0;; ++i) Write("New" + std::to_string(i), "1");
    });
    EXPECT_EQ(ExitCode(Spawn([&] {
                bool stored = true;
                for (int i = 0; i < 40; ++i) stored &= Write(key(round, i), "1");
                return stored ? 0 : 1;
              })),
              0);
    kill(killed, SIGKILL);
    ExitCode(killed);
    EXPECT_EQ(Int("Base0") + Int("Base1000") + Int("Base1999"), 21u);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(Int(key(round, i)), 1u) << key(round, i);
    int run = 0;
    while (Int("New" + std::to_string(run)) == 1) ++run;
    EXPECT_EQ(Int("New" + std::to_string(run + 1)), 12345u);
  }
  // The next write clears away what killed writers left beside the file.
  ASSERT_TRUE(Write("Base0", "8"));
  EXPECT_EQ(Temporaries(), 0);
}

TEST_F(ProfileFile, ReadOnlyFilesAndLinksAreWrittenAsTheUserLeftThem) {
  // A file without write permission is refused, even to root, and stays as it was.
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
  WriteFile("[S]\nk=old\n");
  fs::permissions(path(), readOnly);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "new", path()));
  EXPECT_EQ(ReadFile(), "[S]\nk=old\n");
  EXPECT_EQ(fs::status(path()).permissions() & fs::perms::all, readOnly);
  fs::permissions(path(), fs::perms::owner_read | fs::perms::owner_write);

  // A dangling link, relative or absolute, through a chain of links: the target is created
  // and the links stay links.
  const fs::path folder = std::string(path()) + ".d";
  fs::create_directories(folder / "real");
  fs::create_symlink("real/target.ini", folder / "relative.ini");
  fs::create_symlink(folder / "relative.ini", folder / "chain.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "v", (folder / "chain.ini").c_str()));
  EXPECT_TRUE(fs::is_symlink(folder / "chain.ini"));
  EXPECT_TRUE(fs::is_symlink(folder / "relative.ini"));
  char value[8] = "";
  GetPrivateProfileStringA("S", "k", "", value, sizeof value, (folder / "real/target.ini").c_str());
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
  WriteFile("[Lumivane 95]\nA=1\n");
  EXPECT_EQ(Int("A"), 1u);
  // An editor rewriting in place with the same size, and one replacing the file.
  WriteFile("[Lumivane 95]\nA=3\n");
  EXPECT_EQ(Int("A"), 3u);
  const std::string replacement = std::string(path()) + ".other";
  std::ofstream(replacement) << "[Lumivane 95]\nA=4\n";
  fs::rename(replacement, path());
  EXPECT_EQ(Int("A"), 4u);
  fs::remove(path());
  EXPECT_EQ(Int("A"), 12345u);
}

}  // namespace
