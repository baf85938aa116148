// Designs as one line of text: a name and up to seventeen comma-separated fields.
#pragma once

#include <string>

#include "settings/design_record.h"

// The name under which slot 0 keeps the last design shown.
constexpr const char *LAST_DESIGN_NAME = "Last Design";

// Takes the next field off the front of rest (which loses it and its separator) and returns it.
// A field ends at a comma or a control character; a field that is exactly "X" comes back as "1993".
std::string NextDesignField(std::string &rest);

struct ParsedDesign {
  std::string Name;
  DesignParams Design;
  // Whether the parsed Spin is below zero (a random Spin is not).
  bool NegativeSpin = false;
};

// Reads a design string over the current record: fields the string leaves out, and in ForDialog
// mode random fields and (without a palette) the band fields, keep or take their defaults from
// current. hasPalette matters only for ForDialog.
ParsedDesign ParseDesignString(const std::string &text, const DesignParams &current, ParseMode mode,
                               bool hasPalette = true);

// "Last Design" and the seventeen values in use.
std::string FormatLastDesign(const DesignParams &valuesInUse);

// What the configuration dialog shows for one design, as FormatFavoriteDesign needs it.
struct DisplayedDesign {
  // The value labels' texts of fields 1 to 6 and 8 to 10, in string order (index 6 is unused:
  // ColorRotation comes from the selected line).
  std::string FieldTexts[POT_LUCK_COUNT];
  int ColorRotationLine = 0;
};

// The string the dialog stores for a new favourite: random fields as "X", label texts (at most
// nine characters each) for the scrollbar fields, numbers for the rest.
std::string FormatFavoriteDesign(const std::string &name, const DesignParams &record,
                                 const DisplayedDesign &shown);
