// Any command line: the tail always lies inside the line, and a window handle is read from
// any text after a switch without overrunning it.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/saver_main.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string line(reinterpret_cast<const char *>(data), size);
  const char *start = line.c_str();
  const char *tail = CommandTail(start);
  if (tail < start || tail > start + std::strlen(start)) std::abort();
  ParseWindowHandle(tail);
  if (*tail != '\0') ParseWindowHandle(tail + 1);
  return 0;
}
