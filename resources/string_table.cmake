# Turns the STRINGTABLE of the resource script into a C++ source that registers each string
# with the Linux layer before main runs.  Usage: cmake -DRC=<lumiva95.rc> -DOUT=<file.cpp> -P
file(STRINGS "${RC}" lines)
set(inside FALSE)
set(entries "")
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line STREQUAL "STRINGTABLE")
    set(inside TRUE)
  elseif(inside AND line STREQUAL "END")
    set(inside FALSE)
  elseif(inside AND line MATCHES "^([0-9]+)[ \t]+(\".*\")$")
    string(APPEND entries "  compat::RegisterStringResource(${CMAKE_MATCH_1}, ${CMAKE_MATCH_2});\n")
  endif()
endforeach()
if(entries STREQUAL "")
  message(FATAL_ERROR "no STRINGTABLE entries in ${RC}")
endif()
file(WRITE "${OUT}.new" "// Generated from the resource script; do not edit.
#include <windows.h>

namespace {
const bool registered = [] {
${entries}  return true;
}();
}  // namespace
")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
