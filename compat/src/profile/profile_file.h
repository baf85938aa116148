// Where a profile file lives and how it is read and changed on disk.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "profile/ini_document.h"

namespace compat::profile {

// The per-user settings folder: $LUMIVANE_HOME, else $XDG_CONFIG_HOME/lumivane,
// else ~/.config/lumivane.
std::string UserSettingsDirectory();

// A name with a '/' or '\' is a path as given; a bare name lives in the per-user folder.
std::string ProfilePath(const char *fileName);
bool IsBareFileName(const char *fileName);

// Creates the per-user folder when it does not exist yet.
bool EnsureUserSettingsDirectory();

// The file's current text; an absent or unreadable file reads as empty.
std::string ReadProfileText(const std::string &path);

// Applies `edit` to the file under an exclusive lock, so that concurrent writers of other
// keys never lose each other's changes. When `edit` reports a change, the new text replaces
// the file atomically and durably (temporary file, fsync, rename, fsync of the folder).
// Returns false when the file could not be read or replaced; the old file is then intact.
bool EditProfileFile(const std::string &path, const std::function<bool(IniDocument &)> &edit);

}  // namespace compat::profile
