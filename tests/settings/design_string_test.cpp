#include "settings/design_string.h"

#include <gtest/gtest.h>

#include "settings/decimal_text.h"

namespace {

// A parsed design on one line: its name, the seventeen fields, the PotLuck indices that are
// set, and "-" for a negative spin.
std::string Describe(const ParsedDesign &parsed) {
  std::string text = parsed.Name + ":";
  for (int i = 0; i < DESIGN_FIELD_COUNT; ++i)
    text += (i ? "," : "") + std::to_string(parsed.Design.Field(i));
  text += " r";
  for (int i = 0; i < POT_LUCK_COUNT; ++i)
    if (parsed.Design.PotLuck[i]) text += std::to_string(i);
  return text + (parsed.NegativeSpin ? " -" : "");
}

}  // namespace

TEST(DesignString, TokenizerSplitsAtCommasAndControlCharacters) {
  std::string rest = "Caf\xE9 Noir,X,x, 12\tend\x01tail";
  for (const char *field : {"Caf\xE9 Noir", "1993", "x", " 12", "end", "tail", "", ""})
    EXPECT_EQ(NextDesignField(rest), field);
  EXPECT_TRUE(rest.empty());

  EXPECT_EQ(ReadDecimal("  -42abc"), -42);
  EXPECT_EQ(ReadDecimal("+7"), 7);
  EXPECT_EQ(ReadDecimal("N/A"), 0);
  EXPECT_EQ(ReadDecimal("99999999999"), 2147483647);
  EXPECT_EQ(ReadDecimal("-99999999999"), -2147483647 - 1);
}

TEST(DesignString, ParsingDependsOnTheModeThePaletteAndTheCurrentDesign) {
  // Held: a record with random Speed and bands, and its own values where a string is silent.
  DesignParams held;
  held.Speed = 77;
  held.ColorBands = 300;
  held.ColorBandWidth = 40;
  held.Splitting = 444;
  held.PotLuck[POT_LUCK_COLOR_BANDS] = held.PotLuck[POT_LUCK_SPEED] = true;
  const std::string head = "T,1,2,3,4,5,6,1,8,9,10,";
  const struct {
    std::string text;
    ParseMode mode;
    bool fromHeld, palette;
    const char *expected;
  } cases[] = {
      {"Pot Luck,X,X,X,X,X,X,X,X,X,X", ParseMode::ForPlay, false, true,
       "Pot Luck:1993,1993,1993,1993,1993,1993,1993,1993,1993,1993,1,0,0,1000,1,1,1 r0123456789"},
      {"Prism,3,0,122,113,173,0,1,0,45", ParseMode::ForPlay, false, true,
       "Prism:3,0,122,113,173,0,1,0,45,0,1,0,0,1000,1,1,1 r"},
      // Blanks before a number, as a shipped design has.
      {"Oragami,5,0,192,167,103,-2,1,188,17, 0,3,0,1,0,1,7,5", ParseMode::ForPlay, false, true,
       "Oragami:5,0,192,167,103,-2,1,188,17,0,3,0,1,0,1,7,5 r"},
      // ColorRotation is field 7 but flag 8; lower-case x is a plain zero.
      {"Mix,x,-3,1993,4,5,6,1993,8,9,10", ParseMode::ForPlay, false, true,
       "Mix:0,-3,1993,4,5,6,1993,8,9,10,1,0,0,1000,1,1,1 r28 -"},
      {"Mix,1,X", ParseMode::ForPlay, false, true,
       "Mix:1,1993,0,0,0,0,0,0,0,0,1,0,0,1000,1,1,1 r1"},
      // The first ten fields are given by a design string, so a bare name zeroes them.
      {"Lonely", ParseMode::ForPlay, true, true, "Lonely:0,0,0,0,0,0,0,0,0,0,1,0,0,444,1,1,1 r"},
      // Splitting: out of range plays as 0; the dialog shows its size, and 1000 when missing.
      {head + "1,0,0,-500", ParseMode::ForPlay, false, true,
       "T:1,2,3,4,5,6,1,8,9,10,1,0,0,0,1,1,1 r"},
      {head + "1,0,0,-500", ParseMode::ForDialog, false, true,
       "T:1,2,3,4,5,6,1,8,9,10,1,0,0,500,1,1,1 r"},
      {head + "1,0,0,40000", ParseMode::ForPlay, false, true,
       "T:1,2,3,4,5,6,1,8,9,10,1,0,0,0,1,1,1 r"},
      {head + "1,0,0,-40000", ParseMode::ForDialog, false, true,
       "T:1,2,3,4,5,6,1,8,9,10,1,0,0,0,1,1,1 r"},
      {head + "1,0,0,-2147483648", ParseMode::ForDialog, false, true,
       "T:1,2,3,4,5,6,1,8,9,10,1,0,0,0,1,1,1 r"},
      {"T,1,2,3,4,5,6,1,8,9,10", ParseMode::ForPlay, true, true,
       "T:1,2,3,4,5,6,1,8,9,10,1,0,0,444,1,1,1 r"},
      {"T,1,2,3,4,5,6,1,8,9,10", ParseMode::ForDialog, true, true,
       "T:1,2,3,4,5,6,1,8,9,10,1,0,0,1000,1,1,1 r"},
      // Pen width 1 to 16, depth at least 1.
      {head + "0,0,0,0,1,0", ParseMode::ForPlay, false, true,
       "T:1,2,3,4,5,6,1,8,9,10,1,0,0,0,1,1,1 r"},
      {head + "7,0,0,0,1,99", ParseMode::ForPlay, false, true,
       "T:1,2,3,4,5,6,1,8,9,10,7,0,0,0,1,16,1 r"},
      // The dialog keeps the held value of a random field and, without a palette, the bands.
      {"D,1,2,3,4,X,6,2,8,X,10", ParseMode::ForDialog, true, true,
       "D:1,2,3,4,77,6,2,8,40,10,1,0,0,1000,1,1,1 r47"},
      {"D,1,2,3,4,5,6,2,8,9,10", ParseMode::ForDialog, true, false,
       "D:1,2,3,4,5,6,2,300,40,10,1,0,0,1000,1,1,1 r6"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(
        Describe(ParseDesignString(c.text, c.fromHeld ? held : DesignParams{}, c.mode, c.palette)),
        c.expected)
        << c.text;
  }
}
TEST(DesignString, FormattedDesignsReadBack) {
  const DesignParams inUse = ParseDesignString("Any,12,-5,90,80,100,-11,2,90,6,45,3,1,0,2500,6,4,2",
                                               {}, ParseMode::ForPlay)
                                 .Design;
  const std::string last = FormatLastDesign(inUse);
  EXPECT_EQ(last, "Last Design,12,-5,90,80,100,-11,2,90,6,45,3,1,0,2500,6,4,2");
  EXPECT_EQ(Describe(ParseDesignString(last, {}, ParseMode::ForPlay)),
            "Last Design:12,-5,90,80,100,-11,2,90,6,45,3,1,0,2500,6,4,2 r -");

  // Random fields as X; the labels' texts, cut to nine characters, for the scrollbar fields.
  DesignParams record = inUse;
  record.PotLuck[POT_LUCK_SPIN] = true;
  record.PotLuck[POT_LUCK_COLOR_ROTATION] = true;
  DisplayedDesign shown;
  const char *labels[POT_LUCK_COUNT] = {"12",  "Random", "90",  "80",  "100",
                                        "-11", "",       "N/A", "N/A", "1234567890123"};
  for (int i = 0; i < POT_LUCK_COUNT; ++i) shown.FieldTexts[i] = labels[i];
  shown.ColorRotationLine = 2;
  EXPECT_EQ(FormatFavoriteDesign("Mine", record, shown),
            "Mine,12,X,90,80,100,-11,X,N/A,N/A,123456789,3,1,0,2500,6,4,2");
  record.PotLuck[POT_LUCK_COLOR_ROTATION] = false;
  EXPECT_EQ(Describe(ParseDesignString(FormatFavoriteDesign("Mine", record, shown), {},
                                       ParseMode::ForDialog)),
            "Mine:12,0,90,80,100,-11,2,0,0,123456789,3,1,0,2500,6,4,2 r1");
}
