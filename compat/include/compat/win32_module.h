// Modules loaded by name at run time, and the program's string resources.
#pragma once

#include "compat/win32_types.h"

// Libraries exist only when a build or a test registers them by name (none by default).
HMODULE LoadLibraryA(LPCSTR fileName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);
// NULL names the program itself; a library only while it is loaded.
HMODULE GetModuleHandleA(LPCSTR moduleName);
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);

namespace compat {

// String resources come from the build's table generated from the resource script; it
// registers each entry before main runs.
void RegisterStringResource(UINT id, const char *text);

}  // namespace compat
