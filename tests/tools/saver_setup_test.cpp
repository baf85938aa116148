// The control.ini a render writes, read back by the saver's own settings load. Favourites and
// their errors are held by the render tool's tests.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>

#include "settings/settings_store.h"
#include "tools/saver_setup.h"

TEST(SaverSetup, TheSaverLoadsTheChosenDesignAndPaceInAFolderThatGoesAfterwards) {
  const char *outer = getenv("LUMIVANE_HOME");
  const std::string outerHome = outer ? outer : "";
  std::string home;
  {
    ThrowawayHome throwaway;
    ASSERT_TRUE(throwaway.ok());
    home = throwaway.path();
    EXPECT_STREQ(getenv("LUMIVANE_HOME"), home.c_str());
    SaverSetup setup;
    setup.design = "Star,5,-3,10,250,X,11,1,210,6,0";
    setup.speedGroupSize = 1000;
    setup.speedInterval = 5;
    std::string error;
    ASSERT_TRUE(WriteSaverSettings(setup, &error)) << error;
    SettingsStore loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.Design.Spin, -3);
    EXPECT_EQ(loaded.Design.TrailLength, 250);
    EXPECT_TRUE(loaded.Design.PotLuck[POT_LUCK_SPEED]);
    EXPECT_FALSE(loaded.Design.PotLuck[POT_LUCK_SYMMETRY]);
    EXPECT_EQ(loaded.AllRandom, 0);
    EXPECT_EQ(loaded.DesignIntervalMs, NEVER_CHANGE_INTERVAL_MS) << "the design is held";
    EXPECT_EQ(loaded.SpeedGroupSize, 1000);
    EXPECT_EQ(loaded.SpeedInterval, 5);
  }
  EXPECT_FALSE(std::filesystem::exists(home));
  const char *after = getenv("LUMIVANE_HOME");
  EXPECT_EQ(after ? after : "", outerHome) << "the outer settings folder is back";
}
