#include "window/window_table.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace compat {

namespace {

std::mutex tableGuard;
std::vector<WindowClass> classes;
std::map<uintptr_t, std::unique_ptr<Window>> windows;  // handles only grow: oldest first
uintptr_t nextHandle = LOCAL_HANDLE_BASE;

}  // namespace

bool SameTextIgnoringCase(const std::string &a, const char *b) {
  if (b == nullptr) return false;
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == '\0';
}

bool AddClass(const WindowClass &windowClass) {
  std::lock_guard<std::mutex> lock(tableGuard);
  for (const WindowClass &c : classes)
    if (SameTextIgnoringCase(c.name, windowClass.name.c_str())) return false;
  classes.push_back(windowClass);
  return true;
}

bool RemoveClass(const char *name) {
  std::lock_guard<std::mutex> lock(tableGuard);
  auto it = std::find_if(classes.begin(), classes.end(), [&](const WindowClass &c) {
    return SameTextIgnoringCase(c.name, name);
  });
  if (it == classes.end()) return false;
  classes.erase(it);
  return true;
}

bool FindClass(const char *name, WindowClass *out) {
  std::lock_guard<std::mutex> lock(tableGuard);
  for (const WindowClass &c : classes) {
    if (SameTextIgnoringCase(c.name, name)) {
      *out = c;
      return true;
    }
  }
  return false;
}

HWND NewWindowHandle() {
  std::lock_guard<std::mutex> lock(tableGuard);
  // Steps of 4 keep handles aligned like Windows handles; they are never reused.
  nextHandle += 4;
  return reinterpret_cast<HWND>(nextHandle);
}

Window *AddWindow(std::unique_ptr<Window> window) {
  std::lock_guard<std::mutex> lock(tableGuard);
  Window *raw = window.get();
  windows[reinterpret_cast<uintptr_t>(raw->handle)] = std::move(window);
  return raw;
}

Window *FindLocalWindow(HWND handle) {
  if (!IsLocalHandle(handle)) return nullptr;
  std::lock_guard<std::mutex> lock(tableGuard);
  auto it = windows.find(reinterpret_cast<uintptr_t>(handle));
  return it == windows.end() ? nullptr : it->second.get();
}

std::unique_ptr<Window> RemoveWindow(HWND handle) {
  std::lock_guard<std::mutex> lock(tableGuard);
  auto it = windows.find(reinterpret_cast<uintptr_t>(handle));
  if (it == windows.end()) return nullptr;
  std::unique_ptr<Window> removed = std::move(it->second);
  windows.erase(it);
  return removed;
}

std::vector<Window *> AllWindows(DWORD threadId) {
  std::lock_guard<std::mutex> lock(tableGuard);
  std::vector<Window *> all;
  all.reserve(windows.size());
  for (auto &entry : windows)
    if (threadId == 0 || entry.second->threadId == threadId) all.push_back(entry.second.get());
  return all;
}

HWND FindTopLevel(const char *className, const char *title) {
  std::lock_guard<std::mutex> lock(tableGuard);
  for (auto &entry : windows) {
    const Window &w = *entry.second;
    if ((w.style & WS_CHILD) || w.destroying) continue;
    if (className != nullptr && !SameTextIgnoringCase(w.windowClass.name, className)) continue;
    if (title != nullptr && !SameTextIgnoringCase(w.title, title)) continue;
    return w.handle;
  }
  return nullptr;
}

DWORD WindowThread(HWND handle) {
  if (!IsLocalHandle(handle)) return 0;
  std::lock_guard<std::mutex> lock(tableGuard);
  auto it = windows.find(reinterpret_cast<uintptr_t>(handle));
  return it == windows.end() ? 0 : it->second->threadId;
}

void ClearWindowTable() {
  std::lock_guard<std::mutex> lock(tableGuard);
  windows.clear();
  classes.clear();
}

bool IsChildOf(HWND parent, HWND window) {
  std::lock_guard<std::mutex> lock(tableGuard);
  for (int depth = 0; depth < 64; ++depth) {
    auto it = windows.find(reinterpret_cast<uintptr_t>(window));
    if (it == windows.end() || !(it->second->style & WS_CHILD)) return false;
    window = it->second->parent;
    if (window == parent) return true;
  }
  return false;
}

}  // namespace compat
