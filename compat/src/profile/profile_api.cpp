// The Win32 profile-file calls over IniDocument and a real file.
#include <windows.h>

#include <memory>
#include <string>

#include "profile/ini_document.h"
#include "profile/profile_cache.h"
#include "profile/profile_file.h"
#include "profile/profile_values.h"

using compat::profile::IniDocument;

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned,
                               DWORD size, LPCSTR fileName) {
  using namespace compat::profile;
  if (returned == nullptr || size == 0) return 0;
  const std::string fallback = TrimDefault(defaultValue);
  // An empty file name names no file: every answer is a default.
  const bool named = fileName == nullptr || fileName[0] != '\0';
  const std::shared_ptr<const IniDocument> parsed =
      named ? CurrentDocument(ProfilePath(fileName)) : std::make_shared<const IniDocument>(std::string());
  const IniDocument &document = *parsed;
  if (section == nullptr) return CopyList(document.SectionNames(), returned, size);
  if (key == nullptr) {
    const DWORD length = CopyList(document.KeyNames(section), returned, size);
    if (returned[0] != '\0') return length;
    return CopyValue(fallback, returned, size);
  }
  return CopyValue(document.FindValue(section, key).value_or(fallback), returned, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  // Only the start of a value counts, as with the Windows call's small buffer.
  char text[30];
  if (GetPrivateProfileStringA(section, key, "", text, sizeof text, fileName) == 0 ||
      text[0] == '\0') {
    return static_cast<UINT>(defaultValue);
  }
  return compat::profile::ParseProfileInt(text);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  using namespace compat::profile;
  // All three null only flushes a cache, which a write-through file does not have.
  if (section == nullptr || (fileName != nullptr && fileName[0] == '\0')) return FALSE;
  if (!IsSafeToStore(section) || (key != nullptr && !IsSafeKey(key)) ||
      (value != nullptr && !IsSafeToStore(value))) {
    return FALSE;
  }
  if (IsBareFileName(fileName) && !EnsureUserSettingsDirectory()) return FALSE;
  const bool stored = EditProfileFile(ProfilePath(fileName), [&](IniDocument &document) {
    if (key == nullptr) return document.DeleteSection(section);
    if (value == nullptr) return document.DeleteKey(section, key);
    return document.SetValue(section, key, value);
  });
  return stored ? TRUE : FALSE;
}
