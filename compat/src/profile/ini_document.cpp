#include "profile/ini_document.h"

#include <cstring>

namespace compat::profile {

namespace {

// Besides ASCII blanks, a stray ^Z (the old DOS end-of-file mark) counts as blank.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1a; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names and values end at an embedded NUL, as they would as C strings.
std::string CString(std::string_view s) { return std::string(s.substr(0, s.find('\0'))); }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace

IniDocument::IniDocument(std::string_view text) {
  // A UTF-8 byte-order mark is not part of the first line.
  constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";
  if (text.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK) {
    byteOrderMark_ = std::string(BYTE_ORDER_MARK);
    text.remove_prefix(BYTE_ORDER_MARK.size());
  }
  // CR LF, LF and a lone CR each end a line.
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    Line line;
    if (end == std::string_view::npos) {
      line.text = std::string(text.substr(start));
      start = text.size();
    } else {
      line.text = std::string(text.substr(start, end - start));
      const bool crlf = text.compare(end, 2, "\r\n") == 0;
      line.eol = crlf ? "\r\n" : std::string(1, text[end]);
      start = end + line.eol.size();
    }
    lines_.push_back(std::move(line));
  }
  Parse();
}

void IniDocument::Parse() {
  sections_.clear();
  for (size_t i = 0; i < lines_.size(); ++i) {
    Line &line = lines_[i];
    const std::string_view content = Trim(line.text);
    line.kind = Kind::Blank;
    line.name.clear();
    line.value.clear();
    line.hasValue = false;
    if (content.empty()) continue;
    if (content.front() == '[') {
      const size_t close = content.rfind(']');
      if (close != std::string_view::npos) {
        line.kind = Kind::Section;
        line.name = CString(Trim(content.substr(1, close - 1)));
        if (!sections_.empty()) sections_.back().end = i;
        sections_.push_back(Section{line.name, i, lines_.size()});
        continue;
      }
    }
    line.kind = Kind::Entry;
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
      line.name = CString(content);
    } else {
      line.name = CString(Trim(content.substr(0, equals)));
      line.value = CString(Trim(content.substr(equals + 1)));
      line.hasValue = true;
    }
  }
  if (!sections_.empty()) sections_.back().end = lines_.size();
}

const IniDocument::Section *IniDocument::FirstSection(std::string_view name) const {
  name = Trim(name);
  for (const Section &section : sections_) {
    if (SameName(section.name, name)) return &section;
  }
  return nullptr;
}

const std::string *IniDocument::FindValue(std::string_view sectionName,
                                          std::string_view key) const {
  const Section *section = FirstSection(sectionName);
  if (section == nullptr) return nullptr;
  key = Trim(key);
  for (size_t i = section->header + 1; i < section->end; ++i) {
    const Line &line = lines_[i];
    if (line.kind == Kind::Entry && SameName(line.name, key)) {
      return line.hasValue ? &line.value : nullptr;
    }
  }
  return nullptr;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view sectionName) const {
  std::vector<std::string> names;
  const Section *section = FirstSection(sectionName);
  if (section == nullptr) return names;
  for (size_t i = section->header + 1; i < section->end; ++i) {
    const Line &line = lines_[i];
    if (line.kind != Kind::Entry || !line.hasValue || line.name.empty() || line.name[0] == ';') {
      continue;
    }
    names.push_back(line.name);
  }
  return names;
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const Section &section : sections_) {
    if (!section.name.empty()) names.push_back(section.name);
  }
  return names;
}

std::string IniDocument::LineBreak() const {
  for (const Line &line : lines_) {
    if (!line.eol.empty()) return line.eol;
  }
  return "\r\n";
}

void IniDocument::InsertLine(size_t at, std::string text) {
  const std::string eol = LineBreak();
  // The line before the new one may be a last line without a break.
  if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = eol;
  Line line;
  line.text = std::move(text);
  line.eol = eol;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

bool IniDocument::SetValue(std::string_view sectionName, std::string_view key,
                           std::string_view value) {
  key = Trim(key);
  while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
  const Section *section = FirstSection(sectionName);
  if (section == nullptr) {
    const size_t end = lines_.size();
    InsertLine(end, "[" + std::string(Trim(sectionName)) + "]");
    InsertLine(end + 1, std::string(key) + "=" + std::string(value));
    Parse();
    return true;
  }
  size_t insertAt = section->header + 1;
  for (size_t i = section->header + 1; i < section->end; ++i) {
    Line &line = lines_[i];
    if (line.kind != Kind::Entry) continue;
    if (SameName(line.name, key)) {
      if (line.hasValue && line.value == value) return false;
      line.text = line.name + "=" + std::string(value);
      Parse();
      return true;
    }
    insertAt = i + 1;
  }
  InsertLine(insertAt, std::string(key) + "=" + std::string(value));
  Parse();
  return true;
}

bool IniDocument::DeleteKey(std::string_view sectionName, std::string_view key) {
  sectionName = Trim(sectionName);
  key = Trim(key);
  // Every section of that name is searched; the first matching key goes.
  for (const Section &section : sections_) {
    if (!SameName(section.name, sectionName)) continue;
    for (size_t i = section.header + 1; i < section.end; ++i) {
      if (lines_[i].kind == Kind::Entry && SameName(lines_[i].name, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
        Parse();
        return true;
      }
    }
  }
  return false;
}

bool IniDocument::DeleteSection(std::string_view sectionName) {
  const Section *section = FirstSection(sectionName);
  if (section == nullptr) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(section->header),
               lines_.begin() + static_cast<std::ptrdiff_t>(section->end));
  Parse();
  return true;
}

std::string IniDocument::Text() const {
  std::string text = byteOrderMark_;
  for (const Line &line : lines_) {
    text += line.text;
    text += line.eol;
  }
  return text;
}

}  // namespace compat::profile
