#include "profile/ini_document.h"

#include <algorithm>

namespace compat::profile {

namespace {

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// Besides ASCII blanks, a stray ^Z (the old DOS end-of-file mark) counts as blank.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1a; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names and values end at an embedded NUL, as they would as C strings.
std::string_view CString(std::string_view s) { return s.substr(0, s.find('\0')); }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string Joined(std::string_view a, std::string_view separator, std::string_view b) {
  std::string text(a);
  text += separator;
  text += b;
  return text;
}

}  // namespace

IniDocument::IniDocument(std::string text) : text_(std::move(text)) { Parse(); }

void IniDocument::Parse() {
  lines_.clear();
  sections_.clear();
  const std::string_view text(text_);
  // A UTF-8 byte-order mark is not part of the first line.
  size_t start =
      text.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK ? BYTE_ORDER_MARK.size() : 0;
  while (start < text.size()) {
    Line line;
    line.begin = start;
    // CR LF, LF and a lone CR each end a line.
    line.end = std::min(text.find_first_of("\r\n", start), text.size());
    line.next = line.end;
    if (line.next < text.size()) {
      line.next += text.compare(line.end, 2, "\r\n") == 0 ? 2 : 1;
    }
    start = line.next;

    const std::string_view content = Trim(text.substr(line.begin, line.end - line.begin));
    if (content.empty()) {
      lines_.push_back(line);
      continue;
    }
    if (content.front() == '[') {
      const size_t close = content.rfind(']');
      if (close != std::string_view::npos) {
        line.kind = Kind::Section;
        line.name = CString(Trim(content.substr(1, close - 1)));
        if (!sections_.empty()) sections_.back().end = lines_.size();
        sections_.push_back(Section{line.name, lines_.size(), 0});
        lines_.push_back(line);
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
    lines_.push_back(line);
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

std::optional<std::string_view> IniDocument::FindValue(std::string_view sectionName,
                                                       std::string_view key) const {
  const Section *section = FirstSection(sectionName);
  if (section == nullptr) return std::nullopt;
  key = Trim(key);
  for (size_t i = section->header + 1; i < section->end; ++i) {
    const Line &line = lines_[i];
    if (line.kind == Kind::Entry && SameName(line.name, key)) {
      if (!line.hasValue) return std::nullopt;
      return line.value;
    }
  }
  return std::nullopt;
}

std::vector<std::string_view> IniDocument::KeyNames(std::string_view sectionName) const {
  std::vector<std::string_view> names;
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

std::vector<std::string_view> IniDocument::SectionNames() const {
  std::vector<std::string_view> names;
  for (const Section &section : sections_) {
    if (!section.name.empty()) names.push_back(section.name);
  }
  return names;
}

std::string_view IniDocument::LineBreak() const {
  for (const Line &line : lines_) {
    if (line.next > line.end) return std::string_view(text_).substr(line.end, line.next - line.end);
  }
  return "\r\n";
}

void IniDocument::ReplaceLine(size_t index, std::string_view text) {
  const Line &line = lines_[index];
  text_.replace(line.begin, line.end - line.begin, text);
  Parse();
}

void IniDocument::InsertLine(size_t index, std::string_view text) {
  std::string inserted(text);
  inserted += LineBreak();
  size_t at = index < lines_.size() ? lines_[index].begin : text_.size();
  // A last line without a break gets one before the new line follows it.
  if (index == lines_.size() && !lines_.empty() && lines_.back().next == lines_.back().end) {
    inserted.insert(0, LineBreak());
    at = lines_.back().end;
  }
  text_.insert(at, inserted);
  Parse();
}

void IniDocument::EraseLines(size_t first, size_t last) {
  const size_t begin = lines_[first].begin;
  text_.erase(begin, lines_[last - 1].next - begin);
  Parse();
}

bool IniDocument::SetValue(std::string_view sectionName, std::string_view key,
                           std::string_view value) {
  key = Trim(key);
  while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
  const Section *section = FirstSection(sectionName);
  if (section == nullptr) {
    const std::string entry = Joined(key, "=", value);
    InsertLine(lines_.size(), Joined("[", Trim(sectionName), "]"));
    InsertLine(lines_.size(), entry);
    return true;
  }
  // A new key follows the last non-blank line of its section.
  size_t insertAt = section->header + 1;
  for (size_t i = section->header + 1; i < section->end; ++i) {
    const Line &line = lines_[i];
    if (line.kind != Kind::Entry) continue;
    if (SameName(line.name, key)) {
      if (line.hasValue && line.value == value) return false;
      ReplaceLine(i, Joined(line.name, "=", value));
      return true;
    }
    insertAt = i + 1;
  }
  InsertLine(insertAt, Joined(key, "=", value));
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
        EraseLines(i, i + 1);
        return true;
      }
    }
  }
  return false;
}

bool IniDocument::DeleteSection(std::string_view sectionName) {
  const Section *section = FirstSection(sectionName);
  if (section == nullptr) return false;
  EraseLines(section->header, section->end);
  return true;
}

}  // namespace compat::profile
