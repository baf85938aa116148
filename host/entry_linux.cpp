#include <windows.h>

#include <string>

#include "host/saver_main.h"

// The command line as Windows would hand it over: the program's path in quotes, then the arguments.
int main(int argc, char **argv) {
  std::string commandLine = std::string("\"") + (argc > 0 ? argv[0] : "lumivane") + "\"";
  for (int i = 1; i < argc; ++i) commandLine += std::string(" ") + argv[i];
  return RunSaverProcess(GetModuleHandleA(nullptr), commandLine.c_str());
}
