// Any bytes as control.ini, read through the profile calls with buffers of every size, then
// edited: no call reads or writes beyond its buffer, every answer is terminated, and a stored
// value reads back.
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

// A folder of its own in the temporary folder, removed when the fuzzer exits.
struct FuzzFolder {
  std::string path = (std::filesystem::temp_directory_path() / "lumivane-fuzz-XXXXXX").string();
  FuzzFolder() {
    if (mkdtemp(path.data()) == nullptr) std::abort();
  }
  ~FuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const FuzzFolder folder;
  static const std::string path = folder.path + "/control.ini";
  // The first line names the section, key and value to try ("section|key|value"), as the C
  // strings a caller would hand over; the rest is the file.
  const std::string_view input(reinterpret_cast<const char *>(data), size);
  const size_t split = std::min(input.find('\n'), input.size());
  std::string_view probe = input.substr(0, split);
  std::string fields[3];
  for (std::string &field : fields) {
    const size_t bar = std::min(probe.find('|'), probe.size());
    field = std::string(probe.substr(0, bar)).c_str();
    probe.remove_prefix(std::min(bar + 1, probe.size()));
  }
  const std::string &section = fields[0], &key = fields[1], &value = fields[2];
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      << input.substr(std::min(split + 1, size));
  const char *file = path.c_str();

  for (DWORD bufferSize : {1u, 2u, 3u, 17u, 256u}) {
    const auto read = [&](const char *inSection, const char *name) {
      char buffer[256];
      std::memset(buffer, 'Z', sizeof buffer);
      const DWORD length =
          GetPrivateProfileStringA(inSection, name, "dflt", buffer, bufferSize, file);
      if (length >= bufferSize || buffer[length] != '\0') std::abort();
    };
    read(section.c_str(), key.c_str());
    read(section.c_str(), nullptr);
    read(nullptr, nullptr);
  }
  GetPrivateProfileIntA(section.c_str(), key.c_str(), -7, file);
  // No stored value holds a line break, so the default "\n" means the key was not found.
  char buffer[256] = "";
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file)) {
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "\n", buffer, sizeof buffer, file);
    if (std::strcmp(buffer, "\n") == 0) std::abort();
  }
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), "fuzzed", file)) {
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, file);
    if (std::strcmp(buffer, "fuzzed") != 0) std::abort();
  }
  WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, file);
  WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file);
  return 0;
}
