// Parsed profile files, kept while the file on disk is the same one: a load makes a hundred
// calls, and re-reading a large file for each would take seconds.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "profile/ini_document.h"

namespace compat::profile {

// What tells one version of a file from another: every write replaces the file (a new
// inode), and an editor that writes in place changes the size or the modification time.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t modifiedNs = 0;
  bool operator==(const FileIdentity &other) const;
};
FileIdentity IdentityOf(const struct stat &info);

// The parsed text of the file at `path` as it is now; an absent or unreadable file is empty.
std::shared_ptr<const IniDocument> CurrentDocument(const std::string &path);
// Records what a writer has just put at `path`, so that the next read needs no parse.
void RememberDocument(const std::string &path, const FileIdentity &identity,
                      std::shared_ptr<const IniDocument> document);

}  // namespace compat::profile
