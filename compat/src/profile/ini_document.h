// The text of a profile file, indexed line by line, so that a change rewrites only the lines it
// touches and every other byte of the file survives.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace compat::profile {

class IniDocument {
 public:
  explicit IniDocument(std::string text);

  // The value of a key in the first section of that name (blanks around it removed, quotes
  // kept); none when the key is absent or its line has no '='. Valid until the next change.
  std::optional<std::string_view> FindValue(std::string_view section, std::string_view key) const;
  // Key names of the first section of that name, in file order, without comments, empty
  // names and lines that have no '='. Lines before the first section belong to none.
  std::vector<std::string_view> KeyNames(std::string_view section) const;
  // Names of all sections in file order, duplicates included, "[]" left out.
  std::vector<std::string_view> SectionNames() const;

  // Each returns whether the text changed.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

  const std::string &Text() const { return text_; }

 private:
  enum class Kind { Blank, Section, Entry };
  // Offsets into text_.
  struct Line {
    size_t begin = 0;
    size_t end = 0;   // where its line break starts
    size_t next = 0;  // where the next line starts
    Kind kind = Kind::Blank;
    std::string_view name;
    std::string_view value;
    bool hasValue = false;
  };
  struct Section {
    std::string_view name;
    size_t header = 0;  // index of the "[name]" line
    size_t end = 0;     // one past its last line
  };

  void Parse();
  const Section *FirstSection(std::string_view name) const;
  std::string_view LineBreak() const;
  void ReplaceLine(size_t index, std::string_view text);
  void InsertLine(size_t index, std::string_view text);
  void EraseLines(size_t first, size_t last);

  std::string text_;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
};

}  // namespace compat::profile
