// The control.ini a render writes, read back by the saver's own settings load.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>

#include "settings/favorites.h"
#include "settings/settings_store.h"
#include "tools/saver_setup.h"

TEST(SaverSetup, TheSaverLoadsTheChosenDesignOrOnlyTheChosenFavourite) {
  const char *outer = getenv("LUMIVANE_HOME");
  const std::string outerHome = outer ? outer : "";
  std::string home;
  {
    ThrowawayHome throwaway;
    ASSERT_TRUE(throwaway.ok());
    home = throwaway.path();
    EXPECT_STREQ(getenv("LUMIVANE_HOME"), home.c_str());
    std::string error;

    SaverSetup design;
    design.design = "Star,5,-3,10,250,X,11,1,210,6,0";
    ASSERT_TRUE(WriteSaverSettings(design, &error)) << error;
    SettingsStore loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.Design.Symmetry, 5);
    EXPECT_EQ(loaded.Design.Spin, -3);
    EXPECT_EQ(loaded.Design.TrailLength, 250);
    EXPECT_TRUE(loaded.Design.PotLuck[POT_LUCK_SPEED]);
    EXPECT_FALSE(loaded.Design.PotLuck[POT_LUCK_SYMMETRY]);
    EXPECT_EQ(loaded.AllRandom, 0);
    EXPECT_EQ(loaded.DesignIntervalMs, NEVER_CHANGE_INTERVAL_MS) << "the design is held";

    SaverSetup favorite;
    favorite.favorite = "bitty dots";
    favorite.speedGroupSize = 1000;
    favorite.speedInterval = 5;
    ASSERT_TRUE(WriteSaverSettings(favorite, &error)) << error;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.AllRandom, 1);
    EXPECT_EQ(loaded.SpeedGroupSize, 1000);
    EXPECT_EQ(loaded.SpeedInterval, 5);
    int eligible = 0;
    for (int slot = 1; slot <= FAVORITE_PICK_SLOT_LAST; ++slot) {
      if (!SlotIsEligible(loaded.FavList, slot)) continue;
      ++eligible;
      EXPECT_TRUE(SameDesignName(
          DesignName(ReadFavoriteSlot(loaded, slot, FAVORITE_PLAY_MAX_CHARS)), "Bitty Dots"));
    }
    EXPECT_EQ(eligible, 1);

    SaverSetup unknown;
    unknown.favorite = "Bitty";
    EXPECT_FALSE(WriteSaverSettings(unknown, &error));
    EXPECT_NE(error.find("\"Bitty Dots\""), std::string::npos) << "the error lists the names";
  }
  EXPECT_FALSE(std::filesystem::exists(home));
  const char *after = getenv("LUMIVANE_HOME");
  EXPECT_EQ(after ? after : "", outerHome) << "the outer settings folder is back";
}
