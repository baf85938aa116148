// Handles of our windows start at LOCAL_HANDLE_BASE, above every X11 resource id (29 bits), so
// a handle that came from the window system (a preview's parent, another process's window) can
// never be mistaken for one of ours.
#pragma once

#include <windows.h>

#include <cstdint>

namespace compat {

constexpr uintptr_t LOCAL_HANDLE_BASE = 0x40000000;

inline bool IsLocalHandle(HWND window) {
  return reinterpret_cast<uintptr_t>(window) >= LOCAL_HANDLE_BASE;
}

}  // namespace compat
