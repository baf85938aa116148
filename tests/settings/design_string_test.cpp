#include "settings/design_string.h"

#include <gtest/gtest.h>

#include "settings/decimal_text.h"

namespace {

DesignParams Parse(const std::string& text, ParseMode mode, const DesignParams& current = {},
                   bool hasPalette = true) {
  return ParseDesignString(text, current, mode, hasPalette).Design;
}

}  // namespace

TEST(DesignString, TokenizerSplitsAtCommasAndControlCharacters) {
  std::string rest = "Caf\xE9 Noir,X,x, 12\tend\x01tail";
  EXPECT_EQ(NextDesignField(rest), "Caf\xE9 Noir");
  EXPECT_EQ(NextDesignField(rest), "1993");
  EXPECT_EQ(NextDesignField(rest), "x");
  EXPECT_EQ(NextDesignField(rest), " 12");  // a tab is a control character and ends the field
  EXPECT_EQ(NextDesignField(rest), "end");
  EXPECT_EQ(NextDesignField(rest), "tail");
  EXPECT_TRUE(rest.empty());
  EXPECT_EQ(NextDesignField(rest), "");
  EXPECT_EQ(NextDesignField(rest), "");

  EXPECT_EQ(ReadDecimal("  -42abc"), -42);
  EXPECT_EQ(ReadDecimal("+7"), 7);
  EXPECT_EQ(ReadDecimal("N/A"), 0);
  EXPECT_EQ(ReadDecimal("99999999999"), 2147483647);
  EXPECT_EQ(ReadDecimal("-99999999999"), -2147483647 - 1);
}

TEST(DesignString, ParsesShortAndOddBuiltInShapes) {
  const DesignParams potLuck = Parse("Pot Luck,X,X,X,X,X,X,X,X,X,X", ParseMode::ForPlay);
  for (bool flag : potLuck.PotLuck) EXPECT_TRUE(flag);
  EXPECT_EQ(potLuck.Symmetry, RANDOM_SENTINEL);
  EXPECT_EQ(potLuck.Depth, 1);
  EXPECT_EQ(potLuck.Snazziness, 1);
  EXPECT_EQ(potLuck.PenWidth, 1);
  EXPECT_EQ(potLuck.CheeseType, 1);

  const DesignParams prism = Parse("Prism,3,0,122,113,173,0,1,0,45", ParseMode::ForPlay);
  EXPECT_EQ(prism.ColorBandWidth, 45);
  EXPECT_EQ(prism.Cheese, 0);
  EXPECT_FALSE(prism.PotLuck[POT_LUCK_CHEESE]);

  const ParsedDesign oragami =
      ParseDesignString("Oragami,5,0,192,167,103,-2,1,188,17, 0,3,0,1,0,1,7,5", {}, ParseMode::ForPlay);
  EXPECT_EQ(oragami.Name, "Oragami");
  EXPECT_EQ(oragami.Design.Cheese, 0);
  EXPECT_EQ(oragami.Design.Depth, 3);
  EXPECT_EQ(oragami.Design.Snazziness, 1);
  EXPECT_EQ(oragami.Design.PenWidth, 7);
  EXPECT_EQ(oragami.Design.CheeseType, 5);
  EXPECT_FALSE(oragami.NegativeSpin);

  // ColorRotation is field 7 but flag 8; lower-case x is a plain zero, the number 1993 means random.
  const DesignParams mixed = Parse("Mix,x,-3,1993,4,5,6,1993,8,9,10", ParseMode::ForPlay);
  EXPECT_EQ(mixed.Symmetry, 0);
  EXPECT_FALSE(mixed.PotLuck[POT_LUCK_SYMMETRY]);
  EXPECT_TRUE(mixed.PotLuck[POT_LUCK_LINE_SIZE]);
  EXPECT_TRUE(mixed.PotLuck[POT_LUCK_COLOR_ROTATION]);
  EXPECT_FALSE(mixed.PotLuck[POT_LUCK_COLOR_BANDS]);
  EXPECT_TRUE(ParseDesignString("Mix,1,-3", {}, ParseMode::ForPlay).NegativeSpin);
  EXPECT_FALSE(ParseDesignString("Mix,1,X", {}, ParseMode::ForPlay).NegativeSpin);

  DesignParams before;
  before.PotLuck[POT_LUCK_SPEED] = true;
  const DesignParams nameOnly = Parse("Lonely", ParseMode::ForPlay, before);
  for (int i = 0; i < POT_LUCK_COUNT; ++i) EXPECT_EQ(nameOnly.Field(i), 0);
  for (bool flag : nameOnly.PotLuck) EXPECT_FALSE(flag);
}

TEST(DesignString, TailLimitsAndSplittingDifferByMode) {
  const std::string head = "T,1,2,3,4,5,6,1,8,9,10,";
  EXPECT_EQ(Parse(head + "1,0,0,-500", ParseMode::ForPlay).Splitting, 0);
  EXPECT_EQ(Parse(head + "1,0,0,-500", ParseMode::ForDialog).Splitting, 500);
  EXPECT_EQ(Parse(head + "1,0,0,40000", ParseMode::ForPlay).Splitting, 0);
  EXPECT_EQ(Parse(head + "1,0,0,-40000", ParseMode::ForDialog).Splitting, 0);
  EXPECT_EQ(Parse(head + "1,0,0,-2147483648", ParseMode::ForDialog).Splitting, 0);
  EXPECT_EQ(Parse(head + "1,0,0,0,1,0", ParseMode::ForPlay).PenWidth, 1);
  EXPECT_EQ(Parse(head + "1,0,0,0,1,99", ParseMode::ForPlay).PenWidth, 16);
  EXPECT_EQ(Parse(head + "0", ParseMode::ForPlay).Depth, 1);
  EXPECT_EQ(Parse(head + "7", ParseMode::ForPlay).Depth, 7);

  DesignParams current;
  current.Splitting = 444;
  EXPECT_EQ(Parse("T,1,2,3,4,5,6,1,8,9,10", ParseMode::ForPlay, current).Splitting, 444);
  EXPECT_EQ(Parse("T,1,2,3,4,5,6,1,8,9,10", ParseMode::ForDialog, current).Splitting, 1000);
}

TEST(DesignString, DialogKeepsPlacesOfRandomAndUnavailableFields) {
  DesignParams current;
  current.Speed = 77;
  current.ColorBands = 300;
  current.ColorBandWidth = 40;
  current.PotLuck[POT_LUCK_COLOR_BANDS] = true;

  const DesignParams withPalette = Parse("D,1,2,3,4,X,6,2,8,X,10", ParseMode::ForDialog, current);
  EXPECT_EQ(withPalette.Speed, 77);
  EXPECT_TRUE(withPalette.PotLuck[POT_LUCK_SPEED]);
  EXPECT_EQ(withPalette.ColorBands, 8);
  EXPECT_FALSE(withPalette.PotLuck[POT_LUCK_COLOR_BANDS]);
  EXPECT_EQ(withPalette.ColorBandWidth, 40);
  EXPECT_TRUE(withPalette.PotLuck[POT_LUCK_COLOR_BAND_WIDTH]);

  const DesignParams noPalette = Parse("D,1,2,3,4,5,6,2,8,9,10", ParseMode::ForDialog, current, false);
  EXPECT_EQ(noPalette.ColorBands, 300);
  EXPECT_TRUE(noPalette.PotLuck[POT_LUCK_COLOR_BANDS]);
  EXPECT_EQ(noPalette.ColorBandWidth, 40);
  EXPECT_EQ(noPalette.Cheese, 10);
  EXPECT_EQ(noPalette.ColorRotation, 2);
}

TEST(DesignString, FormattedDesignsReadBack) {
  DesignParams inUse = Parse("Any,12,-5,90,80,100,-11,2,90,6,45,3,1,0,2500,6,4,2", ParseMode::ForPlay);
  const std::string last = FormatLastDesign(inUse);
  EXPECT_EQ(last, "Last Design,12,-5,90,80,100,-11,2,90,6,45,3,1,0,2500,6,4,2");
  const ParsedDesign back = ParseDesignString(last, {}, ParseMode::ForPlay);
  EXPECT_EQ(back.Name, LAST_DESIGN_NAME);
  for (int i = 0; i < DESIGN_FIELD_COUNT; ++i) EXPECT_EQ(back.Design.Field(i), inUse.Field(i)) << i;

  DesignParams record = inUse;
  record.PotLuck[POT_LUCK_SPIN] = true;
  record.PotLuck[POT_LUCK_COLOR_ROTATION] = true;
  DisplayedDesign shown;
  const char* labels[POT_LUCK_COUNT] = {"12",  "Random", "90",  "80",  "100",
                                        "-11", "",       "N/A", "N/A", "1234567890123"};
  for (int i = 0; i < POT_LUCK_COUNT; ++i) shown.FieldTexts[i] = labels[i];
  shown.ColorRotationLine = 2;
  const std::string favorite = FormatFavoriteDesign("Mine", record, shown);
  EXPECT_EQ(favorite, "Mine,12,X,90,80,100,-11,X,N/A,N/A,123456789,3,1,0,2500,6,4,2");

  record.PotLuck[POT_LUCK_COLOR_ROTATION] = false;
  const DesignParams dialog =
      Parse(FormatFavoriteDesign("Mine", record, shown), ParseMode::ForDialog, DesignParams{});
  EXPECT_EQ(dialog.ColorRotation, 2);
  EXPECT_EQ(dialog.ColorBands, 0);
  EXPECT_EQ(dialog.Cheese, 123456789);
  EXPECT_EQ(dialog.Splitting, 2500);
  EXPECT_EQ(dialog.CheeseType, 2);
}
