// The text of a profile file as lines, so that a change rewrites only the lines it touches and
// every other byte of the file survives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace compat::profile {

class IniDocument {
 public:
  explicit IniDocument(std::string_view text);

  // The raw value of a key in the first section of that name (blanks around it removed,
  // quotes kept); null when the key is absent or its line has no '='.
  const std::string *FindValue(std::string_view section, std::string_view key) const;
  // Key names of the first section of that name, in file order, without comments, empty
  // names and lines that have no '='. Lines before the first section belong to none.
  std::vector<std::string> KeyNames(std::string_view section) const;
  // Names of all sections in file order, duplicates included, "[]" left out.
  std::vector<std::string> SectionNames() const;

  // Each returns whether the text changed.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

  std::string Text() const;

 private:
  enum class Kind { Blank, Section, Entry };
  struct Line {
    std::string text;  // without its line break
    std::string eol;   // "\r\n", "\n" or "" for a last line without one
    Kind kind = Kind::Blank;
    std::string name;
    std::string value;
    bool hasValue = false;
  };
  struct Section {
    std::string name;
    size_t header = 0;  // line index of "[name]"
    size_t end = 0;     // one past its last line
  };

  void Parse();
  const Section *FirstSection(std::string_view name) const;
  std::string LineBreak() const;
  void InsertLine(size_t at, std::string text);

  std::string byteOrderMark_;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
};

}  // namespace compat::profile
