// How the profile calls turn stored text into what a caller gets back, and what they refuse to
// store.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace compat::profile {

// A caller's default without its trailing spaces; null is empty.
std::string TrimDefault(const char *defaultValue);

// Copies one value, without a pair of matching quotes around it, cut to size - 1 characters;
// returns the characters copied. `size` is at least 1.
uint32_t CopyValue(std::string_view value, char *buffer, uint32_t size);

// Copies names as a NUL-separated list ended by a second NUL. When they do not fit with a
// character to spare, the last one is cut so the list still ends in two NULs, and the result
// is size - 2.
uint32_t CopyList(const std::vector<std::string_view> &names, char *buffer, uint32_t size);

// The integer at the start of a value, read as the Windows call reads it: blanks, a sign, then
// decimal digits, or hex, octal or binary digits after "0x", "0o" or "0b"; the first other
// character ends it, and overflow wraps.
uint32_t ParseProfileInt(const char *text);

// A line break in a name or value, an '=' in a key or a key opening with '[' would read back
// as other lines, keys or sections.
bool IsSafeToStore(const char *text);
bool IsSafeKey(const char *key);

}  // namespace compat::profile
