// Any text as a profile file: lookups, listings and edits never read or write out of bounds,
// and an edit leaves a document that reads back what was set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "profile/ini_document.h"
#include "profile/profile_values.h"

using compat::profile::IniDocument;
using compat::profile::IsSafeKey;
using compat::profile::IsSafeToStore;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view input(reinterpret_cast<const char *>(data), size);
  // The first line names the section, key and value to try; the rest is the file.
  const size_t split = input.find('\n');
  const std::string_view probe = split == std::string_view::npos ? input : input.substr(0, split);
  const std::string_view file = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
  const size_t a = probe.find('|'), b = a == std::string_view::npos ? a : probe.find('|', a + 1);
  // As C strings, the way the profile calls hand them on.
  const std::string section(std::string(probe.substr(0, a)).c_str());
  const std::string key(std::string(a == std::string_view::npos ? "" : probe.substr(a + 1, b - a - 1)).c_str());
  const std::string value(std::string(b == std::string_view::npos ? "" : probe.substr(b + 1)).c_str());

  IniDocument document{std::string(file)};
  for (std::string_view name : document.SectionNames()) document.KeyNames(name);
  document.FindValue(section, key);
  // What the profile calls refuse to store never reaches a document.
  if (!IsSafeToStore(section.c_str()) || !IsSafeKey(key.c_str()) || !IsSafeToStore(value.c_str()))
    return 0;
  document.SetValue(section, key, value);
  const IniDocument reread(document.Text());
  const auto found = reread.FindValue(section, key);
  if (!found) std::abort();
  document.DeleteKey(section, key);
  document.DeleteSection(section);
  return 0;
}
