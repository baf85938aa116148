#include "settings/design_string.h"

#include <cstdint>

#include "settings/decimal_text.h"

namespace {

constexpr int FIRST_TAIL_POSITION = POT_LUCK_COUNT;
constexpr int32_t SPLITTING_LIMIT = 32000;
constexpr int32_t PEN_WIDTH_MAX = 16;
// ForDialog keeps the scrollbar of a band field in place on a display without a palette.
constexpr int COLOR_BANDS_POSITION = 7;
constexpr int COLOR_BAND_WIDTH_POSITION = 8;
constexpr int COLOR_ROTATION_POSITION = 6;
constexpr size_t LABEL_TEXT_MAX = 9;

bool EndsField(char c) { return static_cast<unsigned char>(c) < 0x20 || c == ','; }

// The field as written; only the tokenizer's callers for value fields turn "X" into the sentinel.
std::string TakeRawField(std::string &rest) {
  size_t end = 0;
  while (end < rest.size() && !EndsField(rest[end])) ++end;
  std::string field = rest.substr(0, end);
  if (end < rest.size() && rest[end] != '\0') {
    rest.erase(0, end + 1);
  } else {
    rest.clear();
  }
  return field;
}

void SetTailDefaults(DesignParams &d, const DesignParams &current, ParseMode mode) {
  d.Depth = 1;
  d.Floating = 0;
  d.Migrating = 0;
  d.Splitting = mode == ParseMode::ForPlay ? current.Splitting : 1000;
  d.Snazziness = 1;
  d.PenWidth = 1;
  d.CheeseType = 1;
}

int32_t LimitSplitting(int32_t value, ParseMode mode) {
  int64_t v = value;
  if (v < 0) v = mode == ParseMode::ForPlay ? 0 : -v;
  return v > SPLITTING_LIMIT ? 0 : static_cast<int32_t>(v);
}

}  // namespace

std::string NextDesignField(std::string &rest) {
  std::string field = TakeRawField(rest);
  if (field == "X") field = std::to_string(RANDOM_SENTINEL);
  return field;
}

ParsedDesign ParseDesignString(const std::string &text, const DesignParams &current, ParseMode mode,
                               bool hasPalette) {
  ParsedDesign parsed;
  DesignParams &d = parsed.Design;
  d = current;
  std::string rest = text;
  // A design named "X" keeps its name; the sentinel stands only for values.
  parsed.Name = TakeRawField(rest);

  for (int position = 0; position < POT_LUCK_COUNT; ++position) {
    const int32_t value = ReadDecimal(NextDesignField(rest));
    const bool skipBandField =
        mode == ParseMode::ForDialog && !hasPalette &&
        (position == COLOR_BANDS_POSITION || position == COLOR_BAND_WIDTH_POSITION);
    if (skipBandField) continue;
    const bool random = value == RANDOM_SENTINEL;
    d.PotLuck[PotLuckIndexOfField(position)] = random;
    if (mode == ParseMode::ForPlay || !random) d.Field(position) = value;
  }

  SetTailDefaults(d, current, mode);
  for (int position = FIRST_TAIL_POSITION; position < DESIGN_FIELD_COUNT && !rest.empty();
       ++position) {
    d.Field(position) = ReadDecimal(NextDesignField(rest));
  }

  if (d.Depth == 0) d.Depth = 1;
  if (d.PenWidth < 1) d.PenWidth = 1;
  if (d.PenWidth > PEN_WIDTH_MAX) d.PenWidth = PEN_WIDTH_MAX;
  d.Splitting = LimitSplitting(d.Splitting, mode);

  parsed.NegativeSpin = d.Spin < 0 && !d.PotLuck[POT_LUCK_SPIN];
  return parsed;
}

std::string FormatLastDesign(const DesignParams &valuesInUse) {
  std::string text = LAST_DESIGN_NAME;
  for (int position = 0; position < DESIGN_FIELD_COUNT; ++position) {
    text += ',';
    text += std::to_string(valuesInUse.Field(position));
  }
  return text;
}

std::string FormatFavoriteDesign(const std::string &name, const DesignParams &record,
                                 const DisplayedDesign &shown) {
  std::string text = name;
  for (int position = 0; position < POT_LUCK_COUNT; ++position) {
    text += ',';
    if (record.PotLuck[PotLuckIndexOfField(position)]) {
      text += 'X';
    } else if (position == COLOR_ROTATION_POSITION) {
      text += std::to_string(shown.ColorRotationLine);
    } else {
      text += shown.FieldTexts[position].substr(0, LABEL_TEXT_MAX);
    }
  }
  for (int position = FIRST_TAIL_POSITION; position < DESIGN_FIELD_COUNT; ++position) {
    text += ',';
    text += std::to_string(record.Field(position));
  }
  return text;
}
