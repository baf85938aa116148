// Libraries registered by name for LoadLibraryA / GetProcAddress, and string resources.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "compat/testing.h"
#include "module/modules.h"

namespace compat {

namespace {

struct Module {
  std::string name;
  std::vector<std::pair<std::string, FARPROC>> entries;
  int loadCount = 0;
  HMODULE handle = nullptr;
};

std::mutex guard;
std::vector<Module> modules;
// Filled by static initialisers of the program, so it must exist before any of them runs.
std::map<UINT, std::string> &Strings() {
  static std::map<UINT, std::string> strings;
  return strings;
}
uintptr_t nextModuleHandle = 0x10000000;

// The program itself, as Windows loads an executable at its preferred base.
HMODULE ProgramHandle() { return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000)); }

// "C:\\Windows\\System\\Password.cpl" and "password.cpl" name the same module; a name
// without an extension means a .DLL, as for LoadLibrary.
std::string ModuleKey(const std::string &fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  std::transform(base.begin(), base.end(), base.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (base.find('.') == std::string::npos) base += ".dll";
  return base;
}

Module *FindByName(const std::string &fileName) {
  const std::string key = ModuleKey(fileName);
  for (Module &m : modules)
    if (m.name == key) return &m;
  return nullptr;
}

Module *FindByHandle(HMODULE handle) {
  for (Module &m : modules)
    if (m.handle == handle && m.loadCount > 0) return &m;
  return nullptr;
}

}  // namespace

void RegisterStringResource(UINT id, const char *text) {
  std::lock_guard<std::mutex> lock(guard);
  Strings()[id] = text != nullptr ? text : "";
}

void ForgetAllModules() {
  std::lock_guard<std::mutex> lock(guard);
  modules.clear();
}

namespace testing {

void RegisterModule(const std::string &name,
                    const std::vector<std::pair<std::string, FARPROC>> &entries) {
  std::lock_guard<std::mutex> lock(guard);
  Module *existing = FindByName(name);
  if (existing != nullptr) {
    existing->entries = entries;
    return;
  }
  Module m;
  m.name = ModuleKey(name);
  m.entries = entries;
  nextModuleHandle += 0x10000;
  m.handle = reinterpret_cast<HMODULE>(nextModuleHandle);
  modules.push_back(m);
}

int ModuleLoadCount(const std::string &name) {
  std::lock_guard<std::mutex> lock(guard);
  Module *m = FindByName(name);
  return m == nullptr ? 0 : m->loadCount;
}

}  // namespace testing

}  // namespace compat

using namespace compat;

HMODULE LoadLibraryA(LPCSTR fileName) {
  std::lock_guard<std::mutex> lock(guard);
  Module *m = fileName != nullptr ? FindByName(fileName) : nullptr;
  if (m == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  ++m->loadCount;
  return m->handle;
}

FARPROC GetProcAddress(HMODULE handle, LPCSTR procName) {
  std::lock_guard<std::mutex> lock(guard);
  Module *m = FindByHandle(handle);
  if (m == nullptr || procName == nullptr) {
    SetLastError(m == nullptr ? ERROR_MOD_NOT_FOUND : ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  // Entries are looked up by name; our modules have no ordinals.
  if (!IS_INTRESOURCE(procName)) {
    for (const auto &entry : m->entries)
      if (entry.first == procName) return entry.second;
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HMODULE handle) {
  std::lock_guard<std::mutex> lock(guard);
  Module *m = FindByHandle(handle);
  if (m == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  --m->loadCount;
  return TRUE;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return ProgramHandle();
  std::lock_guard<std::mutex> lock(guard);
  Module *m = FindByName(moduleName);
  if (m == nullptr || m->loadCount == 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return m->handle;
}

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferMax) {
  if (buffer == nullptr || bufferMax <= 0) return 0;
  std::lock_guard<std::mutex> lock(guard);
  auto it = Strings().find(id);
  if (it == Strings().end()) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  const size_t count = std::min(it->second.size(), static_cast<size_t>(bufferMax - 1));
  std::memcpy(buffer, it->second.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}
