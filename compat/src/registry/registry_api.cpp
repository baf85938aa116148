// The registry functions over the per-user store. Open keys are handles to a key path; every
// call reads the file again, so values another process wrote are seen.
#include <windows.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "registry/registry_store.h"

using namespace compat;

namespace {

std::mutex guard;
std::map<uintptr_t, std::string> openKeys;
uintptr_t nextKey = 0x1000;

const char *RootName(HKEY key) {
  if (key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (key == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (key == HKEY_USERS) return "HKEY_USERS";
  return nullptr;
}

// The path of a root or open key; false for anything else.
bool PathOf(HKEY key, std::string *path) {
  if (const char *root = RootName(key)) {
    *path = root;
    return true;
  }
  std::lock_guard<std::mutex> lock(guard);
  auto it = openKeys.find(reinterpret_cast<uintptr_t>(key));
  if (it == openKeys.end()) return false;
  *path = it->second;
  return true;
}

// "a\\b\\" and "\\a\\b" name the same subkey "a\\b".
std::string Join(const std::string &base, LPCSTR subKey) {
  std::string path = base;
  if (subKey == nullptr) return path;
  std::string part;
  for (const char *c = subKey;; ++c) {
    if (*c == '\\' || *c == '\0') {
      if (!part.empty()) path += "\\" + part;
      part.clear();
      if (*c == '\0') break;
    } else {
      part += *c;
    }
  }
  return path;
}

HKEY NewHandle(const std::string &path) {
  std::lock_guard<std::mutex> lock(guard);
  nextKey += 4;
  openKeys[nextKey] = path;
  return reinterpret_cast<HKEY>(nextKey);
}

}  // namespace

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  std::string base;
  if (!PathOf(key, &base)) return ERROR_INVALID_HANDLE;
  const std::string path = Join(base, subKey);
  if (path == base && RootName(key) != nullptr) {
    *result = key;
    return ERROR_SUCCESS;
  }
  if (!KeyExists(ReadRegistry(), path)) return ERROR_FILE_NOT_FOUND;
  *result = NewHandle(path);
  return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
  return RegOpenKeyExA(key, subKey, 0, KEY_ALL_ACCESS, result);
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, void *, PHKEY result,
                        LPDWORD disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  std::string base;
  if (!PathOf(key, &base)) return ERROR_INVALID_HANDLE;
  const std::string path = Join(base, subKey);
  bool created = false;
  const bool ok = EditRegistry([&](RegistryDocument &document) {
    if (KeyExists(document, path)) return false;
    document.push_back(RegistryKey{path, {}});
    created = true;
    return true;
  });
  if (!ok) return ERROR_ACCESS_DENIED;
  if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = NewHandle(path);
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
  return RegCreateKeyExA(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         result, nullptr);
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize) {
  if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) return ERROR_INVALID_PARAMETER;
  std::string path;
  if (!PathOf(key, &path)) return ERROR_INVALID_HANDLE;
  RegistryDocument document = ReadRegistry();
  RegistryKey *found = FindKey(document, path);
  RegistryValue *value = found != nullptr ? FindValue(*found, valueName != nullptr ? valueName : "")
                                          : nullptr;
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type != nullptr) *type = value->type;
  const DWORD needed = static_cast<DWORD>(value->data.size());
  if (dataSize == nullptr) return ERROR_SUCCESS;
  const DWORD room = *dataSize;
  *dataSize = needed;
  if (data == nullptr) return ERROR_SUCCESS;
  // Too small a buffer gets nothing, only the size it would need.
  if (room < needed) return ERROR_MORE_DATA;
  std::memcpy(data, value->data.data(), needed);
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE *data,
                       DWORD dataSize) {
  if (reserved != 0 || (data == nullptr && dataSize != 0)) return ERROR_INVALID_PARAMETER;
  std::string path;
  if (!PathOf(key, &path)) return ERROR_INVALID_HANDLE;
  RegistryValue value;
  value.name = valueName != nullptr ? valueName : "";
  value.type = type;
  value.data.assign(data, data + dataSize);
  // A string stored without its terminator reads back with one, as on Windows.
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && (value.data.empty() || value.data.back() != 0))
    value.data.push_back(0);
  const bool ok = EditRegistry([&](RegistryDocument &document) {
    RegistryKey *target = FindKey(document, path);
    if (target == nullptr) {
      document.push_back(RegistryKey{path, {}});
      target = &document.back();
    }
    if (RegistryValue *existing = FindValue(*target, value.name)) *existing = value;
    else target->values.push_back(value);
    return true;
  });
  return ok ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName) {
  std::string path;
  if (!PathOf(key, &path)) return ERROR_INVALID_HANDLE;
  const std::string name = valueName != nullptr ? valueName : "";
  bool found = false;
  const bool ok = EditRegistry([&](RegistryDocument &document) {
    RegistryKey *target = FindKey(document, path);
    if (target == nullptr) return false;
    for (auto it = target->values.begin(); it != target->values.end(); ++it) {
      if (FindValue(*target, name) == &*it) {
        target->values.erase(it);
        found = true;
        return true;
      }
    }
    return false;
  });
  if (!ok) return ERROR_ACCESS_DENIED;
  return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LSTATUS RegCloseKey(HKEY key) {
  if (RootName(key) != nullptr) return ERROR_SUCCESS;
  std::lock_guard<std::mutex> lock(guard);
  return openKeys.erase(reinterpret_cast<uintptr_t>(key)) == 1 ? ERROR_SUCCESS
                                                                : ERROR_INVALID_HANDLE;
}
