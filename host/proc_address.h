// An entry of a library loaded at run time, typed as the caller declares it.
#pragma once

#include <windows.h>

template <typename Function>
Function ProcAddress(HMODULE library, LPCSTR name) {
  // Through the generic function pointer type, which every compiler accepts as a neutral cast.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
