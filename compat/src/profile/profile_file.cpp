#include "profile/profile_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace compat::profile {

namespace {

// A new text is written beside the file under this suffix plus six random characters.
constexpr char TEMPORARY_SUFFIX[] = ".new-";
constexpr size_t RANDOM_LENGTH = 6;

// Closes a descriptor on every path out of a function.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor &) = delete;
  FileDescriptor &operator=(const FileDescriptor &) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_;
};

std::string DirectoryOf(const std::string &path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool MakeDirectories(const std::string &path) {
  if (path.empty()) return false;
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

// Reads the whole file; nullopt on a read error other than "it does not exist".
std::optional<std::string> ReadExisting(const std::string &path) {
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.ok()) {
    if (errno == ENOENT) return std::string();
    return std::nullopt;
  }
  std::string text;
  char chunk[65536];
  for (;;) {
    const ssize_t got = read(file.get(), chunk, sizeof chunk);
    if (got == 0) return text;
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    text.append(chunk, static_cast<size_t>(got));
  }
}

bool WriteAll(int fd, const std::string &text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(wrote);
  }
  return true;
}

bool SyncDirectory(const std::string &directory) {
  FileDescriptor dir(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return dir.ok() && fsync(dir.get()) == 0;
}

bool ReplaceFile(const std::string &path, const std::string &text) {
  const std::string directory = DirectoryOf(path);
  std::string temporary = path + TEMPORARY_SUFFIX + std::string(RANDOM_LENGTH, 'X');
  FileDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
  if (!file.ok()) return false;
  // A replaced file keeps its permissions; a new one is the user's alone, as mkostemp made it.
  struct stat old {};
  const bool keptMode =
      stat(path.c_str(), &old) != 0 || fchmod(file.get(), old.st_mode & 07777) == 0;
  const bool written = keptMode && WriteAll(file.get(), text) && fsync(file.get()) == 0;
  if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return SyncDirectory(directory);
}

// Temporary files of writers that died before their rename; only a writer holding the lock
// may call this, since the lock holder is the only one with a temporary file in progress.
void RemoveAbandonedTemporaries(const std::string &path) {
  const std::string directory = DirectoryOf(path);
  const std::string prefix = path.substr(path.rfind('/') + 1) + TEMPORARY_SUFFIX;
  DIR *folder = opendir(directory.c_str());
  if (folder == nullptr) return;
  while (const dirent *entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name.size() == prefix.size() + RANDOM_LENGTH &&
        name.compare(0, prefix.size(), prefix) == 0) {
      unlinkat(dirfd(folder), name.c_str(), 0);
    }
  }
  closedir(folder);
}

// A symbolic link stays a link: the file it points at is the one replaced.
std::string ResolvedPath(const std::string &path) {
  char *resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

}  // namespace

std::string UserSettingsDirectory() {
  const char *home = std::getenv("LUMIVANE_HOME");
  if (home != nullptr && home[0] != '\0') return home;
  const char *config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] != '\0') return std::string(config) + "/lumivane";
  const char *user = std::getenv("HOME");
  return std::string(user != nullptr ? user : "") + "/.config/lumivane";
}

bool IsBareFileName(const char *fileName) {
  return fileName == nullptr || std::strpbrk(fileName, "/\\") == nullptr;
}

bool EnsureUserSettingsDirectory() { return MakeDirectories(UserSettingsDirectory()); }

std::string ProfilePath(const char *fileName) {
  // Without a name the calls address the desktop's own profile, as on Windows.
  std::string name = fileName != nullptr ? fileName : "win.ini";
  if (IsBareFileName(fileName)) return UserSettingsDirectory() + "/" + name;
  for (char &c : name) {
    if (c == '\\') c = '/';
  }
  return name;
}

std::string ReadProfileText(const std::string &path) {
  return ReadExisting(path).value_or(std::string());
}

bool EditProfileFile(const std::string &name, const std::function<bool(IniDocument &)> &edit) {
  const std::string path = ResolvedPath(name);
  // The lock lives in its own file: the rename below replaces the profile's inode.
  FileDescriptor lock(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!lock.ok()) return false;
  while (flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }
  RemoveAbandonedTemporaries(path);
  const std::optional<std::string> text = ReadExisting(path);
  if (!text) return false;
  IniDocument document(*text);
  if (!edit(document)) return true;
  return ReplaceFile(path, document.Text());
}

}  // namespace compat::profile
