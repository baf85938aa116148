#include "profile/profile_cache.h"

#include <map>
#include <mutex>

#include "profile/profile_file.h"

namespace compat::profile {

namespace {

struct Entry {
  FileIdentity identity;
  std::shared_ptr<const IniDocument> document;
};

std::mutex cacheGuard;
std::map<std::string, Entry> cache;

std::optional<FileIdentity> IdentityOfPath(const std::string &path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return IdentityOf(info);
}

}  // namespace

bool FileIdentity::operator==(const FileIdentity &other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modifiedNs == other.modifiedNs;
}

FileIdentity IdentityOf(const struct stat &info) {
  return FileIdentity{info.st_dev, info.st_ino, info.st_size,
                      int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::shared_ptr<const IniDocument> CurrentDocument(const std::string &path) {
  const std::optional<FileIdentity> before = IdentityOfPath(path);
  if (before) {
    std::lock_guard<std::mutex> lock(cacheGuard);
    const auto found = cache.find(path);
    if (found != cache.end() && found->second.identity == *before) return found->second.document;
  }
  auto document = std::make_shared<const IniDocument>(ReadProfileText(path));
  // Kept only when nothing changed the file while it was read.
  if (before && IdentityOfPath(path) == before) RememberDocument(path, *before, document);
  return document;
}

void RememberDocument(const std::string &path, const FileIdentity &identity,
                      std::shared_ptr<const IniDocument> document) {
  std::lock_guard<std::mutex> lock(cacheGuard);
  cache[path] = Entry{identity, std::move(document)};
}

}  // namespace compat::profile
