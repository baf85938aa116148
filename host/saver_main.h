// Entry and run modes: one switch on the command line selects one mode, whose result is the exit code.
#pragma once

#include <windows.h>

// The command line without the program's own path and the blanks after it.
LPCSTR CommandTail(LPCSTR commandLine);

// Takes the process's command line apart, runs SaverMain and returns its exit code.
// Both the Windows and the Linux entry point call this.
int RunSaverProcess(HINSTANCE instance, LPCSTR commandLine);

int SaverMain(HINSTANCE instance, LPCSTR tail);

// The switch letter of a command tail (its first character that is not a space, '-' or '/'),
// or its end.
LPCSTR SwitchOf(LPCSTR tail);

// The instance SaverMain stored; the module's resources and window class belong to it.
HINSTANCE SaverInstance();

// A decimal window handle after the switch letter: spaces skipped, digits read until the
// first non-digit; anything else yields 0.
HWND ParseWindowHandle(LPCSTR afterSwitch);

INT_PTR ShowConfigureDialog(HWND owner);
int ChangeSaverPassword(HWND owner);
