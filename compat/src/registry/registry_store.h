// The per-user registry store: one text file, "registry.reg" in the per-user settings folder,
// in the layout of an exported .reg file, so that a user can read and edit it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace compat {

struct RegistryValue {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct RegistryKey {
  std::string path;  // "HKEY_CURRENT_USER\Control Panel\Desktop"
  std::vector<RegistryValue> values;
};

using RegistryDocument = std::vector<RegistryKey>;

std::string RegistryFilePath();
RegistryDocument ParseRegistry(const std::string &text);
std::string FormatRegistry(const RegistryDocument &document);

// The store as it is on disk now (empty when there is no file).
RegistryDocument ReadRegistry();
// Changes the store under an exclusive lock, so writers in other processes lose nothing, and
// replaces the file durably when `edit` reports a change. False when it could not be written.
bool EditRegistry(const std::function<bool(RegistryDocument &)> &edit);

RegistryKey *FindKey(RegistryDocument &document, const std::string &path);
RegistryValue *FindValue(RegistryKey &key, const std::string &name);
bool KeyExists(const RegistryDocument &document, const std::string &path);

}  // namespace compat
