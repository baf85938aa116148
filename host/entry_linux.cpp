#include <windows.h>

#include "host/saver_main.h"

int main() { return RunSaverProcess(GetModuleHandleA(nullptr), GetCommandLineA()); }
