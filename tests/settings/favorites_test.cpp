#include "settings/favorites.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/favorites_list.h"
#include "common/temp_files.h"

namespace {

std::vector<std::string> Names(const FavoritesView& view) {
  std::vector<std::string> names;
  for (const FavoriteLine& line : view.Lines) names.push_back(line.Name);
  return names;
}

void Select(FavoritesView& view, const std::string& name) {
  for (FavoriteLine& line : view.Lines) {
    if (line.Name == name) line.Selected = true;
  }
}

DisplayedDesign Shown() {
  DisplayedDesign shown;
  const char* labels[POT_LUCK_COUNT] = {"5", "-2", "40", "90", "60", "3", "", "20", "7", "0"};
  for (int i = 0; i < POT_LUCK_COUNT; ++i) shown.FieldTexts[i] = labels[i];
  shown.ColorRotationLine = 1;
  return shown;
}

}  // namespace

TEST(Favorites, ListingSortsNamesAndFollowsChooseRandomly) {
  TempProfile profile;
  profile.PutSlots({{1, "banana,1"}, {3, "Apple,1"}, {130, "cherry,1"}, {0, "Last Design,1"}});
  SettingsStore store = profile.Store();
  FavoritesView view = ListFavorites(store);
  EXPECT_EQ(Names(view), (std::vector<std::string>{"Apple", "banana", "cherry"}));
  EXPECT_TRUE(view.ChooseRandomlyEnabled);
  EXPECT_TRUE(view.ListEnabled);

  store.AllRandom = 1;
  store.FavList = "NNY";
  view = ListFavorites(store);
  EXPECT_EQ(Names(view), (std::vector<std::string>{"Apple"}));
  EXPECT_TRUE(view.ChooseRandomlyChecked);
  EXPECT_FALSE(view.ListEnabled);
  EXPECT_FALSE(view.DesignControlsEnabled);

  profile.PutSlot(1, "");
  profile.PutSlot(130, "");
  EXPECT_FALSE(ListFavorites(store).ChooseRandomlyEnabled);
}

TEST(Favorites, AddReplacesOnlyTheSameNameAndRemoveFreesSlots) {
  TempProfile profile;
  profile.PutSlots({{1, "Starlight,1,2,3,4,5,6,1,8,9,10"}, {2, "Comet,1"}, {4, "Meteor,1"}});
  SettingsStore store = profile.Store();
  FavoritesView view = ListFavorites(store);

  DesignParams record;
  record.PotLuck[POT_LUCK_CHEESE] = true;
  ASSERT_TRUE(AddFavorite(store, view, "Star", record, Shown()));
  EXPECT_EQ(profile.Slot(3), "Star,5,-2,40,90,60,3,1,20,7,X,1,0,0,1000,1,1,1");
  EXPECT_EQ(profile.Slot(1), "Starlight,1,2,3,4,5,6,1,8,9,10");
  EXPECT_EQ(Names(view), (std::vector<std::string>{"Comet", "Meteor", "Star", "Starlight"}));
  EXPECT_EQ(view.CurrentLine, 2);

  // Same name in other capitals: the old slot is freed first, so it is the one reused.
  ASSERT_TRUE(AddFavorite(store, view, "comet", record, Shown()));
  EXPECT_EQ(profile.Slot(2).substr(0, 8), "comet,5,");
  EXPECT_EQ(Names(view), (std::vector<std::string>{"comet", "Meteor", "Star", "Starlight"}));

  // A name must survive the trip through the file to be found again.
  ASSERT_TRUE(AddFavorite(store, view, "  Odd, name\x01", record, Shown()));
  EXPECT_EQ(profile.Slot(5).substr(0, 10), "Odd name,5");
  EXPECT_FALSE(AddFavorite(store, view, ",,", record, Shown()));

  // A slot emptied behind the dialog's back leaves its line in place.
  profile.PutSlot(4, "");
  Select(view, "Meteor");
  Select(view, "Odd name");
  Select(view, "Star");
  RemoveSelectedFavorites(store, view);
  EXPECT_EQ(Names(view), (std::vector<std::string>{"comet", "Meteor", "Starlight"}));
  EXPECT_EQ(profile.Slot(3), "");
  EXPECT_EQ(profile.Slot(5), "");
  EXPECT_EQ(profile.Slot(1), "Starlight,1,2,3,4,5,6,1,8,9,10");

  for (int slot = 1; slot <= FAVORITE_SLOT_LAST; ++slot)
    profile.PutSlot(slot, "F" + std::to_string(slot) + ",1");
  FavoritesView full = ListFavorites(store);
  EXPECT_FALSE(AddFavorite(store, full, "Extra", record, Shown()));
  EXPECT_EQ(full.Lines.size(), 255u);
}

TEST(Favorites, LoadByNameSearchesFromSlotZero) {
  TempProfile profile;
  profile.PutSlots({{0, "Last Design,12,-5,90,80,100,-11,2,90,6,45,3,1,0,2500,6,4,2"},
                    {1, "Last Design,1,1,1,1,1,1,1,1,1,1"},
                    {2, "Random Bits,3,X,5,6,7,8,1,9,10,11"}});
  SettingsStore store = profile.Store();
  store.Design.Spin = 4;

  ASSERT_TRUE(LoadFavoriteByName(store, "last design", true));
  EXPECT_EQ(store.Design.Symmetry, 12);
  EXPECT_EQ(store.Design.Splitting, 2500);
  EXPECT_TRUE(store.NegativeSpin);

  store.Design.Spin = 4;
  ASSERT_TRUE(LoadFavoriteByName(store, "Random Bits", true));
  EXPECT_EQ(store.Design.Spin, 4);
  EXPECT_TRUE(store.Design.PotLuck[POT_LUCK_SPIN]);
  EXPECT_EQ(store.Design.Splitting, 1000);

  const DesignParams before = store.Design;
  EXPECT_FALSE(LoadFavoriteByName(store, "Random", true));
  for (int i = 0; i < DESIGN_FIELD_COUNT; ++i) EXPECT_EQ(store.Design.Field(i), before.Field(i));
}

TEST(Favorites, ChooseRandomlyMarksTheSelectedSlots) {
  TempProfile profile;
  for (int slot = 1; slot <= 19; ++slot) profile.PutSlot(slot, "Design " + std::to_string(100 + slot) + ",1");
  profile.PutSlot(130, "Far Away,1");
  SettingsStore store = profile.Store();
  FavoritesView view = ListFavorites(store);
  ASSERT_EQ(view.Lines.size(), 20u);
  Select(view, "Design 102");
  Select(view, "Design 117");
  Select(view, "Far Away");

  ChooseRandomlyOn(store, view);
  EXPECT_EQ(Names(view), (std::vector<std::string>{"Design 102", "Design 117", "Far Away"}));
  for (const FavoriteLine& line : view.Lines) EXPECT_FALSE(line.Selected);
  EXPECT_FALSE(view.ListEnabled);
  EXPECT_FALSE(view.DesignControlsEnabled);
  EXPECT_EQ(store.AllRandom, 1);
  ASSERT_EQ(store.FavList.size(), 255u);
  std::string expected(255, 'N');
  expected[1] = expected[16] = expected[129] = 'Y';
  EXPECT_EQ(store.FavList, expected);

  ChooseRandomlyOff(store, view);
  ASSERT_EQ(view.Lines.size(), 20u);
  int selected = 0;
  for (const FavoriteLine& line : view.Lines) selected += line.Selected;
  EXPECT_EQ(selected, 3);
  EXPECT_TRUE(view.ListEnabled);
  EXPECT_EQ(store.AllRandom, 0);

  for (FavoriteLine& line : view.Lines) line.Selected = false;
  Select(view, "Design 105");
  ChooseRandomlyOn(store, view);
  EXPECT_EQ(view.Lines.size(), 20u);
  EXPECT_TRUE(store.FavList.empty());
  SaveSettings(store);
  EXPECT_EQ(profile.Get("FavList"), std::string(256, 'Y'));
}
