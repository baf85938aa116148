// Any text as a design string, in both modes: parsing never fails, and the last-design text
// of what it yields parses back to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/design_string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  const DesignParams defaults;
  ParseDesignString(text, defaults, ParseMode::ForDialog, true);
  ParseDesignString(text, defaults, ParseMode::ForDialog, false);
  const ParsedDesign played = ParseDesignString(text, defaults, ParseMode::ForPlay);
  const std::string last = FormatLastDesign(played.Design);
  const ParsedDesign again = ParseDesignString(last, defaults, ParseMode::ForPlay);
  if (FormatLastDesign(again.Design) != last) std::abort();
  return 0;
}
