#include "registry/registry_store.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sstream>

#include "profile/profile_file.h"

namespace compat {

namespace {

bool WriteDurably(const std::string &path, const std::string &text) {
  const std::string temporary = path + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  size_t done = 0;
  bool ok = true;
  while (ok && done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    ok = wrote > 0;
    if (ok) done += static_cast<size_t>(wrote);
  }
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

std::string Hex(const std::vector<BYTE> &data) {
  std::string out;
  char byte[4];
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    if (i > 0) out += ',';
    out += byte;
  }
  return out;
}

std::string Quoted(const std::string &text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Reads a quoted string at `pos`; false when the line does not hold one.
bool ReadQuoted(const std::string &line, size_t *pos, std::string *out) {
  if (*pos >= line.size() || line[*pos] != '"') return false;
  out->clear();
  for (size_t i = *pos + 1; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      *out += line[++i];
    } else if (line[i] == '"') {
      *pos = i + 1;
      return true;
    } else {
      *out += line[i];
    }
  }
  return false;
}

bool ParseValue(const std::string &text, RegistryValue *value) {
  size_t pos = 0;
  std::string quoted;
  if (ReadQuoted(text, &pos, &quoted)) {
    value->type = REG_SZ;
    value->data.assign(quoted.begin(), quoted.end());
    value->data.push_back(0);
    return true;
  }
  if (text.rfind("dword:", 0) == 0) {
    const unsigned long number = std::strtoul(text.c_str() + 6, nullptr, 16);
    value->type = REG_DWORD;
    value->data.clear();
    for (int i = 0; i < 4; ++i) value->data.push_back(static_cast<BYTE>(number >> (8 * i)));
    return true;
  }
  if (text.rfind("hex", 0) != 0) return false;
  size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  value->type = REG_BINARY;
  if (text.compare(3, 1, "(") == 0) value->type = std::strtoul(text.c_str() + 4, nullptr, 16);
  value->data.clear();
  std::istringstream bytes(text.substr(colon + 1));
  std::string byte;
  while (std::getline(bytes, byte, ','))
    if (!byte.empty()) value->data.push_back(static_cast<BYTE>(std::strtoul(byte.c_str(), nullptr, 16)));
  return true;
}

}  // namespace

std::string RegistryFilePath() { return profile::UserSettingsDirectory() + "/registry.reg"; }

RegistryDocument ParseRegistry(const std::string &text) {
  RegistryDocument document;
  constexpr size_t NO_KEY = static_cast<size_t>(-1);
  size_t current = NO_KEY;  // index of the key the following values belong to
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      // A repeated header continues the key it names, wherever that key began.
      const std::string path = line.substr(1, line.size() - 2);
      const RegistryKey *existing = FindKey(document, path);
      current = existing != nullptr ? static_cast<size_t>(existing - document.data()) : document.size();
      if (existing == nullptr) document.push_back(RegistryKey{path, {}});
      continue;
    }
    size_t pos = 0;
    RegistryValue value;
    // "@" is the key's default value, as in exported files.
    if (line.rfind("@=", 0) == 0) {
      pos = 1;
    } else if (!ReadQuoted(line, &pos, &value.name)) {
      continue;
    }
    if (current == NO_KEY || pos >= line.size() || line[pos] != '=') continue;
    if (!ParseValue(line.substr(pos + 1), &value)) continue;
    RegistryKey &key = document[current];
    if (RegistryValue *existing = FindValue(key, value.name)) *existing = value;
    else key.values.push_back(value);
  }
  return document;
}

std::string FormatRegistry(const RegistryDocument &document) {
  std::string text = "Windows Registry Editor Version 5.00\n";
  for (const RegistryKey &key : document) {
    text += "\n[" + key.path + "]\n";
    for (const RegistryValue &value : key.values) {
      text += value.name.empty() ? "@=" : Quoted(value.name) + "=";
      const bool plainString = value.type == REG_SZ && !value.data.empty() &&
                               value.data.back() == 0 &&
                               std::find(value.data.begin(), value.data.end() - 1, 0) ==
                                   value.data.end() - 1 &&
                               std::find(value.data.begin(), value.data.end(), '\n') ==
                                   value.data.end();
      if (plainString) {
        text += Quoted(std::string(value.data.begin(), value.data.end() - 1));
      } else if (value.type == REG_DWORD && value.data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x",
                      value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                          static_cast<uint32_t>(value.data[3]) << 24);
        text += number;
      } else if (value.type == REG_BINARY) {
        text += "hex:" + Hex(value.data);
      } else {
        char type[16];
        std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
        text += type + Hex(value.data);
      }
      text += '\n';
    }
  }
  return text;
}

RegistryDocument ReadRegistry() {
  return ParseRegistry(profile::ReadProfileText(RegistryFilePath()));
}

bool EditRegistry(const std::function<bool(RegistryDocument &)> &edit) {
  if (!profile::EnsureUserSettingsDirectory()) return false;
  const std::string path = RegistryFilePath();
  const int lockFd = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd < 0) return false;
  while (flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
  }
  RegistryDocument document = ParseRegistry(profile::ReadProfileText(path));
  bool ok = true;
  if (edit(document)) ok = WriteDurably(path, FormatRegistry(document));
  close(lockFd);
  return ok;
}

RegistryKey *FindKey(RegistryDocument &document, const std::string &path) {
  for (RegistryKey &key : document)
    if (strcasecmp(key.path.c_str(), path.c_str()) == 0) return &key;
  return nullptr;
}

RegistryValue *FindValue(RegistryKey &key, const std::string &name) {
  for (RegistryValue &value : key.values)
    if (strcasecmp(value.name.c_str(), name.c_str()) == 0) return &value;
  return nullptr;
}

bool KeyExists(const RegistryDocument &document, const std::string &path) {
  // A key exists when it or one of its subkeys was written.
  const std::string prefix = path + "\\";
  for (const RegistryKey &key : document) {
    if (strcasecmp(key.path.c_str(), path.c_str()) == 0) return true;
    if (key.path.size() > prefix.size() &&
        strncasecmp(key.path.c_str(), prefix.c_str(), prefix.size()) == 0)
      return true;
  }
  return false;
}

}  // namespace compat
