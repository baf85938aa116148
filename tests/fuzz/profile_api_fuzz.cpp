// Any bytes as control.ini, read through the profile calls with buffers of every size, and
// one write: no call reads or writes beyond its buffer, and every answer is terminated.
#include <windows.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A folder of its own in the temporary folder, removed when the fuzzer exits.
struct FuzzFolder {
  FuzzFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumivane-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
  }
  ~FuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

const std::string &ProfilePath() {
  static const FuzzFolder folder;
  static const std::string path = folder.path + "/control.ini";
  return path;
}

void CheckTerminated(const char *buffer, DWORD length, DWORD size) {
  if (size > 0 && (length >= size || buffer[length] != '\0')) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string input(reinterpret_cast<const char *>(data), size);
  const std::string &path = ProfilePath();
  std::ofstream(path, std::ios::binary | std::ios::trunc) << input;
  const char *file = path.c_str();

  // Names to ask for come from the input itself, so that they often exist.
  const size_t open = input.find('['), close = input.find(']', open == std::string::npos ? 0 : open);
  const std::string section =
      open != std::string::npos && close != std::string::npos ? input.substr(open + 1, close - open - 1) : "S";
  const size_t equals = input.find('=', close == std::string::npos ? 0 : close);
  const size_t lineStart = equals == std::string::npos ? 0 : input.rfind('\n', equals);
  const std::string key = equals == std::string::npos ? "k"
                          : input.substr(lineStart == std::string::npos ? 0 : lineStart + 1,
                                         equals - (lineStart == std::string::npos ? 0 : lineStart + 1));

  for (DWORD bufferSize : {1u, 2u, 3u, 17u, 256u}) {
    char buffer[256];
    std::memset(buffer, 'Z', sizeof buffer);
    CheckTerminated(buffer, GetPrivateProfileStringA(section.c_str(), key.c_str(), "dflt", buffer, bufferSize, file),
                    bufferSize);
    GetPrivateProfileStringA(section.c_str(), nullptr, "dflt", buffer, bufferSize, file);
    GetPrivateProfileStringA(nullptr, nullptr, "", buffer, bufferSize, file);
  }
  GetPrivateProfileIntA(section.c_str(), key.c_str(), -7, file);
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), "fuzzed", file)) {
    char buffer[16] = "";
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, file);
    if (std::strcmp(buffer, "fuzzed") != 0) std::abort();
  }
  return 0;
}
