// The process: its command line as Windows hands it over, its identity and its exit.
#pragma once

#include "compat/win32_types.h"

// The program's own command line, rebuilt from its arguments with Windows quoting.
LPSTR GetCommandLineA();
// The ANSI code page here is a single-byte one: no byte leads a double-byte character.
BOOL IsDBCSLeadByte(BYTE testChar);
[[noreturn]] void ExitProcess(UINT exitCode);
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();
