#include "engine/design_selection.h"

#include "audio/fake_wave_input.h"

#include "engine/animation_driver.h"
#include "engine/crt_random.h"
#include "engine/line_model.h"
#include "engine/palette_engine.h"
#include "engine/renderer.h"
#include "settings/design_string.h"
#include "settings/favorites.h"

#include "common/temp_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

namespace {

// A settings store whose profile is a real file of its own in the temporary folder.
class DesignSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override { SeedRandom(2024); }
  void Put(const char *key, const std::string &value) { WriteSettingString(settings, key, value); }
  TempProfile profile;
  SettingsStore settings = profile.Store();
};

DesignParams AllRandomDesign() {
  DesignParams design;
  for (bool &flag : design.PotLuck) flag = true;
  return design;
}

}  // namespace

// Each field's draw is what the seeded Pot Luck golden picture shows; here the rules of the
// draws that picture does not reach.
TEST_F(DesignSelectionTest, RandomDrawsKeepToTheirRulesAndOnlyFlaggedFieldsDraw) {
  // The factor is a hair above 0.0045, so that exact products do not fall short.
  EXPECT_EQ(static_cast<int>(2000 * SYMMETRY_DRAW_FACTOR), 9);
  EXPECT_EQ(static_cast<int>(4000 * SYMMETRY_DRAW_FACTOR), 18);
  EXPECT_EQ(static_cast<int>(6000 * SYMMETRY_DRAW_FACTOR), 27);

  const DesignParams random = AllRandomDesign();
  const int draws = 30000;
  int symmetryOne = 0;
  std::set<int32_t> spins, cheeses;
  for (int i = 0; i < draws; ++i) {
    DesignParams v = DrawDesignValues(random);
    symmetryOne += v.Symmetry == 1;
    spins.insert(v.Spin);
    cheeses.insert(v.Cheese);
    // The tail has no random rule and passes through.
    ASSERT_EQ(v.Splitting, random.Splitting);
  }
  EXPECT_NEAR(symmetryOne / double(draws), 1.0 / 15, 0.01);
  std::set<int32_t> spinValues, cheeseSteps;
  for (int s = -10; s <= 9; ++s) spinValues.insert(s);
  for (int c = 0; c <= 160; c += 10) cheeseSteps.insert(c);
  EXPECT_EQ(spins, spinValues);
  EXPECT_EQ(cheeses, cheeseSteps);

  // Fields without a flag keep their values, even 1993, and consume no draws.
  DesignParams stored;
  stored.TrailLength = 1993;
  stored.PotLuck[POT_LUCK_SPEED] = true;
  SeedRandom(99);
  const int firstDraw = NextRandom();
  SeedRandom(99);
  DesignParams v = DrawDesignValues(stored);
  EXPECT_EQ(v.Speed, firstDraw % 200 + 15);
  EXPECT_EQ(v.TrailLength, 1993);
  EXPECT_EQ(v.Symmetry, stored.Symmetry);
  EXPECT_EQ(v.ColorRotation, stored.ColorRotation);
}

TEST_F(DesignSelectionTest, FavoritePickTakesOnlyEligibleDesignsAndEndsWithoutOne) {
  settings.Design.Splitting = 4321;
  Put("FavList", "NNY");
  Put("Favorite1", "Hypnotic Eye,31,0,50,180,100,4,1,210,10,0");
  Put("Favorite3", "Star,5,-3,10,250,50,11,1,210,6,0");
  Put("Favorite9", "Beyond The List,9");  // slots past the end of FavList are not eligible
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(PickRandomFavorite(settings));
    EXPECT_EQ(settings.Design.Symmetry, 5);
    EXPECT_EQ(settings.Design.TrailLength, 250);
    EXPECT_TRUE(settings.NegativeSpin);
    EXPECT_EQ(settings.Design.Splitting, 4321) << "a ten-field design keeps the splitting in use";
  }

  // Eligible slots that are empty or missing, a design only in an ineligible slot: the pick
  // must give up and leave the design alone rather than draw for ever.
  Put("FavList", "NYNY");
  Put("Favorite2", "");
  const DesignParams before = settings.Design;
  EXPECT_FALSE(PickRandomFavorite(settings));
  EXPECT_EQ(FormatLastDesign(settings.Design), FormatLastDesign(before));
  Put("FavList", "");
  EXPECT_FALSE(PickRandomFavorite(settings));

  // Without the key every slot up to 256 is eligible, so a lone design in slot 256 is found.
  WritePrivateProfileStringA(SETTINGS_SECTION, "FavList", nullptr, settings.ProfileName.c_str());
  for (const char *slot : {"Favorite1", "Favorite3", "Favorite9"}) Put(slot, "");
  Put("Favorite256", "Pot Luck,X,X,X,X,X,X,X,X,X,X");
  ASSERT_TRUE(PickRandomFavorite(settings));
  EXPECT_EQ(settings.Design.Symmetry, RANDOM_SENTINEL);
}

namespace {

constexpr char TEST_WINDOW_CLASS[] = "LumivaneDesignSelectionTest";

// The values the "Last Design" string records; its format is the design strings' test.
DesignParams LastDesign(const SettingsStore &settings) {
  return ParseDesignString(ReadFavoriteSlot(settings, 0, 200), {}, ParseMode::ForPlay).Design;
}

}  // namespace

TEST_F(DesignSelectionTest, AppliedDesignIsRecordedAsLastDesignWithItsDrawnValues) {
  HWND window = OpenTestWindow(TEST_WINDOW_CLASS, DefWindowProcA, 800, 600);
  ASSERT_NE(window, nullptr);
  animation.settings = settings;
  linesDrawn = 999;
  animation.settings.AllRandom = 1;
  animation.settings.Audio = 1;
  animation.settings.Reflections = 2;
  WriteSettingString(animation.settings, "FavList", std::string(40, 'N') + "Y");
  WriteSettingString(animation.settings, "Favorite41", "Pot Luck,X,X,X,X,X,X,X,X,X,X");
  WriteSettingString(animation.settings, "Favorite2", "Star,5,0,10,250,50,11,1,210,6,0");

  for (int design = 0; design < 20; ++design) {
    SelectNextDesign(window, animation.settings);
    const DesignParams v = LastDesign(animation.settings);
    // What was written is what the line model received (drawn, as the Pot Luck picture shows).
    EXPECT_EQ(v.Symmetry, lineSet.symmetryCount);
    EXPECT_EQ(v.TrailLength, lineSet.trailLength);
    EXPECT_EQ(v.Snazziness, 1) << "Pot Luck's tail takes the defaults";
    EXPECT_EQ(linesDrawn, 0u);
    // The palette cursor wraps by the stored trail, left to chance; the figure repeats twice.
    EXPECT_EQ(ThePaletteEngine().wrapTrailLength, RANDOM_SENTINEL);
    EXPECT_TRUE(ThePaletteEngine().audioWrap);
    EXPECT_EQ(renderer.reflections.count, 2);
  }
  EXPECT_EQ(animation.settings.Design.Symmetry, RANDOM_SENTINEL)
      << "the favourite came from slot 41";

  // With sound capture active a symmetry above 12 is applied and recorded as 12.
  animation.settings.AllRandom = 0;
  animation.settings.Design = DesignParams{};
  animation.settings.Design.Symmetry = 30;
  ASSERT_TRUE(StartFakeCapture(window));
  SelectNextDesign(window, animation.settings);
  EXPECT_EQ(lineSet.symmetryCount, 12);
  EXPECT_EQ(LastDesign(animation.settings).Symmetry, 12);
  EndFakeCapture();
  SelectNextDesign(window, animation.settings);
  EXPECT_EQ(lineSet.symmetryCount, 30);

  // A window no wider than 600 pixels (the preview) leaves the last design alone.
  SetWindowPos(window, nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
  animation.settings.Design.Symmetry = 9;
  SelectNextDesign(window, animation.settings);
  EXPECT_EQ(lineSet.symmetryCount, 9);
  EXPECT_EQ(LastDesign(animation.settings).Symmetry, 30);
  CloseTestWindow(window, TEST_WINDOW_CLASS);
}
