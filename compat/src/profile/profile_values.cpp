#include "profile/profile_values.h"

#include <algorithm>
#include <cstring>

namespace compat::profile {

std::string TrimDefault(const char *defaultValue) {
  std::string text = defaultValue != nullptr ? defaultValue : "";
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

uint32_t CopyValue(std::string_view value, char *buffer, uint32_t size) {
  std::string_view text = value;
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
      text.back() == text.front()) {
    text = text.substr(1, text.size() - 2);
  }
  const size_t length = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<uint32_t>(length);
}

uint32_t CopyList(const std::vector<std::string_view> &names, char *buffer, uint32_t size) {
  std::string list;
  for (std::string_view name : names) {
    list += name;
    list += '\0';
  }
  // Windows counts a list that would fill the buffer exactly as cut.
  if (list.size() + 2 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<uint32_t>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

uint32_t ParseProfileInt(const char *text) {
  const char *p = text;
  while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  uint32_t base = 10;
  if (p[0] == '0' && p[1] == 'x') {
    base = 16;
    p += 2;
  } else if (p[0] == '0' && p[1] == 'o') {
    base = 8;
    p += 2;
  } else if (p[0] == '0' && p[1] == 'b') {
    base = 2;
    p += 2;
  }
  uint32_t total = 0;
  for (;; ++p) {
    uint32_t digit;
    if (*p >= '0' && *p <= '9') {
      digit = static_cast<uint32_t>(*p - '0');
    } else if (*p >= 'a' && *p <= 'z') {
      digit = static_cast<uint32_t>(*p - 'a' + 10);
    } else if (*p >= 'A' && *p <= 'Z') {
      digit = static_cast<uint32_t>(*p - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    total = total * base + digit;
  }
  return negative ? 0u - total : total;
}

bool IsSafeToStore(const char *text) { return std::strpbrk(text, "\r\n") == nullptr; }

bool IsSafeKey(const char *key) {
  // A key line that opened with '[' could read back as a section header.
  return std::strpbrk(key, "\r\n=") == nullptr && key[std::strspn(key, " \t\v\f\x1a")] != '[';
}

}  // namespace compat::profile
