#include "profile/profile_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "profile/profile_cache.h"

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

// A write beyond the process's file-size limit (ulimit -f) raises SIGXFSZ, whose default ends
// the process. Held back for this thread while a file is written, the write fails with EFBIG
// instead; a signal our write raised is taken back before the mask is restored.
class FileSizeSignalHeld {
 public:
  FileSizeSignalHeld() {
    sigemptyset(&xfsz_);
    sigaddset(&xfsz_, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &xfsz_, &previous_);
    sigset_t pending;
    sigpending(&pending);
    alreadyPending_ = sigismember(&pending, SIGXFSZ) == 1;
  }
  ~FileSizeSignalHeld() {
    sigset_t pending;
    sigpending(&pending);
    if (!alreadyPending_ && sigismember(&pending, SIGXFSZ) == 1) {
      const timespec now{0, 0};
      sigtimedwait(&xfsz_, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  FileSizeSignalHeld(const FileSizeSignalHeld &) = delete;
  FileSizeSignalHeld &operator=(const FileSizeSignalHeld &) = delete;

 private:
  sigset_t xfsz_;
  sigset_t previous_;
  bool alreadyPending_ = false;
};

bool WriteAll(int fd, const std::string &text) {
  FileSizeSignalHeld held;
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

// On success `identity` describes the new file.
bool ReplaceFile(const std::string &path, const std::string &text, FileIdentity *identity) {
  const std::string directory = DirectoryOf(path);
  std::string temporary = path + TEMPORARY_SUFFIX + std::string(RANDOM_LENGTH, 'X');
  FileDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
  if (!file.ok()) return false;
  // A replaced file keeps its permissions; a new one is the user's alone, as mkostemp made it.
  struct stat old {};
  const bool keptMode =
      stat(path.c_str(), &old) != 0 || fchmod(file.get(), old.st_mode & 07777) == 0;
  struct stat written {};
  const bool complete = keptMode && WriteAll(file.get(), text) && fsync(file.get()) == 0 &&
                        fstat(file.get(), &written) == 0;
  if (!complete || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  *identity = IdentityOf(written);
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

// A symbolic link stays a link: the file it points at is the one replaced, and created when
// it does not exist yet. None for a loop of links.
std::optional<std::string> ResolvedPath(const std::string &path) {
  constexpr int MOST_LINKS = 40;  // as the kernel follows
  std::string current = path;
  for (int followed = 0; followed <= MOST_LINKS; ++followed) {
    struct stat info {};
    if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlink(current.c_str(), target.data(), target.size());
    if (length < 0) return current;
    target.resize(static_cast<size_t>(length));
    current = target.front() == '/' ? target : DirectoryOf(current) + "/" + target;
  }
  return std::nullopt;
}

// The read-only attribute of Windows: a file without its owner's write permission is never
// rewritten, whoever the writer is.
bool IsReadOnly(const std::string &path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
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
  const std::optional<std::string> resolved = ResolvedPath(name);
  if (!resolved || IsReadOnly(*resolved)) return false;
  const std::string &path = *resolved;
  // The lock lives in its own file: the rename below replaces the profile's inode.
  FileDescriptor lock(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!lock.ok()) return false;
  while (flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }
  RemoveAbandonedTemporaries(path);
  const std::optional<std::string> text = ReadExisting(path);
  if (!text) return false;
  auto document = std::make_shared<IniDocument>(*text);
  if (!edit(*document)) return true;
  FileIdentity identity;
  if (!ReplaceFile(path, document->Text(), &identity)) return false;
  RememberDocument(name, identity, std::move(document));
  return true;
}

}  // namespace compat::profile
