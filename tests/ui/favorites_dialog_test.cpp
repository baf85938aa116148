// The favourites through the main dialog's controls: adding (replacing a name with other
// capitals, a prefix not replacing, names cleaned, a full list), removing, Choose Randomly with a
// subset or with one line, loading by double click and by "Last Pattern", and the list box's Win32
// selection rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "dialog_driver.h"
#include "resources/resource_ids.h"

namespace {

int LineOf(HWND d, const std::string &name) {
  const auto lines = ListLines(d, IDC_FAVORITES_LIST);
  auto it = std::find(lines.begin(), lines.end(), name);
  return it == lines.end() ? -1 : static_cast<int>(it - lines.begin());
}

class FavoritesDialogTest : public DialogTest {
 protected:
  // Twenty favourites "Fav 01".."Fav 20" in slots 1..20, and no seeding or upgrade.
  void SetUp() override {
    DialogTest::SetUp();
    Put("Version", "29");
    for (int slot = 1; slot <= 20; ++slot) {
      char design[64];
      std::snprintf(design, sizeof design, "Fav %02d,%d,0,100,120,80,8,1,0,11,0", slot, slot);
      PutSlot(slot, design);
    }
  }
};

TEST_F(FavoritesDialogTest, AddReplacesOnlyTheSameNameWhateverItsCapitalsAndNeverOverwrites) {
  PutSlot(21, "Star Field,9,0,100,120,80,8,1,0,11,0");
  PutSlot(22, "Starburst,9,0,100,120,80,8,1,0,11,0");
  RunMain({[](HWND d) {
    ScrollBy(d, IDC_SYMMETRY_SCROLL, SB_THUMBPOSITION, 33);
    Type(d, IDC_FAVORITE_NAME, "star field");
    ASSERT_TRUE(Enabled(d, IDC_ADD));
    Click(d, IDC_ADD);
    EXPECT_EQ(LineOf(d, "Star Field"), -1);
    EXPECT_GE(LineOf(d, "star field"), 0);
    Type(d, IDC_FAVORITE_NAME, "Star");
    Click(d, IDC_ADD);
    EXPECT_GE(LineOf(d, "Starburst"), 0);
    EXPECT_GE(LineOf(d, "Star"), 0);
    // A comma or control character would cut the stored string, a leading blank is lost.
    Type(d, IDC_FAVORITE_NAME, "  Odd, name\x01");
    Click(d, IDC_ADD);
    Type(d, IDC_FAVORITE_NAME, ",,");
    Click(d, IDC_ADD);
    EXPECT_GE(LineOf(d, "Odd name"), 0);
    EXPECT_EQ(ListLines(d, IDC_FAVORITES_LIST).size(), 24u);
    Type(d, IDC_FAVORITE_NAME, "");
    EXPECT_FALSE(Enabled(d, IDC_ADD));
    Click(d, IDCANCEL);
  }});
  // The replaced slot was the first free one, so the new design took it; Cancel keeps both adds.
  EXPECT_EQ(Slot(21).substr(0, 14), "star field,33,");
  EXPECT_EQ(Slot(22).substr(0, 10), "Starburst,");
  EXPECT_EQ(Slot(23).substr(0, 8), "Star,33,");
  EXPECT_EQ(Slot(24).substr(0, 9), "Odd name,") << "kept as it can be found again";

  // With every slot taken nothing is added and nothing overwritten.
  for (int slot = 25; slot <= 255; ++slot) PutSlot(slot, "Full " + std::to_string(slot) + ",1");
  RunMain({[](HWND d) {
    Type(d, IDC_FAVORITE_NAME, "Extra");
    Click(d, IDC_ADD);
    EXPECT_EQ(LineOf(d, "Extra"), -1);
    Click(d, IDCANCEL);
  }});
  EXPECT_EQ(Slot(255), "Full 255,1");
}

TEST_F(FavoritesDialogTest, RemoveFreesTheSlotsOfTheSelectedLines) {
  RunMain({[](HWND d) {
    SelectLines(d, IDC_FAVORITES_LIST, {LineOf(d, "Fav 03"), LineOf(d, "Fav 07")});
    Click(d, IDC_REMOVE);
    EXPECT_EQ(LineOf(d, "Fav 03"), -1);
    EXPECT_EQ(LineOf(d, "Fav 07"), -1);
    EXPECT_EQ(ListLines(d, IDC_FAVORITES_LIST).size(), 18u);
    EXPECT_TRUE(Enabled(d, IDC_CHOOSE_RANDOMLY));
    SelectLines(d, IDC_FAVORITES_LIST, {});
    for (int i = 0; i < 17; ++i) SendDlgItemMessageA(d, IDC_FAVORITES_LIST, LB_SETSEL, TRUE, i);
    Click(d, IDC_REMOVE);
    EXPECT_EQ(ListLines(d, IDC_FAVORITES_LIST), (std::vector<std::string>{"Fav 20"}));
    EXPECT_FALSE(Enabled(d, IDC_CHOOSE_RANDOMLY));
    // A slot emptied behind the dialog's back keeps its line: there is nothing to free.
    WritePrivateProfileStringA("Lumivane 95", "Favorite20", "", "control.ini");
    SelectLines(d, IDC_FAVORITES_LIST, {0});
    Click(d, IDC_REMOVE);
    EXPECT_EQ(ListLines(d, IDC_FAVORITES_LIST).size(), 1u);
    Click(d, IDCANCEL);
  }});
  EXPECT_EQ(Slot(3), "");
  EXPECT_EQ(Slot(7), "") << "freed, not removed";
}

TEST_F(FavoritesDialogTest, ChooseRandomlyKeepsSeveralSelectedOrMakesAllEligibleForOne) {
  PutSlot(130, "Far Away,1");
  RunMain({[](HWND d) {
    SelectLines(
        d, IDC_FAVORITES_LIST,
        {LineOf(d, "Fav 02"), LineOf(d, "Fav 11"), LineOf(d, "Fav 19"), LineOf(d, "Far Away")});
    Click(d, IDC_CHOOSE_RANDOMLY);
    EXPECT_EQ(ListLines(d, IDC_FAVORITES_LIST),
              (std::vector<std::string>{"Far Away", "Fav 02", "Fav 11", "Fav 19"}));
    EXPECT_TRUE(SelectedLines(d, IDC_FAVORITES_LIST).empty());
    EXPECT_FALSE(Enabled(d, IDC_FAVORITES_LIST));
    Click(d, IDOK);
  }});
  EXPECT_EQ(Get("AllRandom"), "1");
  const std::string flags = Get("FavList");
  ASSERT_GE(flags.size(), 130u);
  for (int slot = 1; slot <= static_cast<int>(flags.size()); ++slot)
    EXPECT_EQ(flags[slot - 1], slot == 2 || slot == 11 || slot == 19 || slot == 130 ? 'Y' : 'N')
        << slot;
  // Opened again, the box is ticked and the chosen ones are listed; switched off, every line
  // comes back with the chosen ones selected.
  RunMain({[](HWND d) {
    EXPECT_TRUE(Checked(d, IDC_CHOOSE_RANDOMLY));
    EXPECT_EQ(ListLines(d, IDC_FAVORITES_LIST).size(), 4u);
    EXPECT_FALSE(Enabled(d, IDC_SYMMETRY_SCROLL));
    Click(d, IDC_CHOOSE_RANDOMLY);
    EXPECT_EQ(ListLines(d, IDC_FAVORITES_LIST).size(), 21u);
    EXPECT_EQ(SelectedLines(d, IDC_FAVORITES_LIST),
              (std::vector<int>{0, LineOf(d, "Fav 02"), LineOf(d, "Fav 11"), LineOf(d, "Fav 19")}));
    EXPECT_TRUE(Enabled(d, IDC_SYMMETRY_SCROLL));
    Click(d, IDOK);
  }});
  EXPECT_EQ(Get("AllRandom"), "0");

  // With one line selected every favourite is eligible.
  RunMain({[](HWND d) {
    SelectLines(d, IDC_FAVORITES_LIST, {LineOf(d, "Fav 05")});
    Click(d, IDC_CHOOSE_RANDOMLY);
    EXPECT_EQ(ListLines(d, IDC_FAVORITES_LIST).size(), 21u);
    EXPECT_TRUE(SelectedLines(d, IDC_FAVORITES_LIST).empty());
    Click(d, IDOK);
  }});
  EXPECT_GE(Get("FavList").size(), 128u);
  EXPECT_EQ(Get("FavList").find_first_not_of('Y'), std::string::npos);
}

TEST_F(FavoritesDialogTest, DoubleClickLoadsEveryControlAndDeselectsTheLine) {
  PutSlot(21, "Loaded,X,-7,150,60,X,-20,2,45,30,25,3,1,1,700,4,5,2");
  ForEachDisplay([](bool palette) {
    RunMain({[palette](HWND d) {
      const int line = LineOf(d, "Loaded");
      ASSERT_GE(line, 0);
      DoubleClickLine(d, IDC_FAVORITES_LIST, line);
      EXPECT_TRUE(Checked(d, IDC_SYMMETRY_RANDOM));
      EXPECT_FALSE(Enabled(d, IDC_SYMMETRY_SCROLL));
      EXPECT_FALSE(Checked(d, IDC_SPIN_RANDOM));
      EXPECT_EQ(ScrollPosition(d, IDC_SPIN_SCROLL), -7);
      EXPECT_TRUE(Checked(d, IDC_SPEED_RANDOM));
      // Symmetry and Speed are random: their labels say so.
      EXPECT_EQ(Texts(d, {IDC_SYMMETRY_VALUE, IDC_SPIN_VALUE, IDC_LINE_SIZE_VALUE,
                          IDC_TRAIL_LENGTH_VALUE, IDC_SPEED_VALUE, IDC_ROTATIONS_VALUE,
                          IDC_CHEESE_VALUE, IDC_SPLITTING, IDC_PEN_WIDTH}),
                "Random -7 150 60 Random -20 25 700 5");
      EXPECT_EQ(Texts(d, {IDC_BANDS_VALUE, IDC_BAND_WIDTH_VALUE}), palette ? "45 30" : "N/A N/A");
      EXPECT_EQ(SendDlgItemMessageA(d, IDC_ROTATION_LIST, LB_GETCURSEL, 0, 0), 2);
      EXPECT_TRUE(Checked(d, IDC_DEPTH_3));
      EXPECT_FALSE(Checked(d, IDC_DEPTH_1));
      EXPECT_TRUE(Checked(d, IDC_FLOATING));
      EXPECT_TRUE(Checked(d, IDC_MIGRATING));
      EXPECT_EQ(ComboSelection(d, IDC_SNAZZINESS), 4);
      EXPECT_EQ(ComboSelection(d, IDC_CHEESE_TYPE), 2);
      EXPECT_TRUE(SelectedLines(d, IDC_FAVORITES_LIST).empty());
      Click(d, IDOK);
    }});
    ExpectStored("Spin=993 PotLuck0=1 PotLuck4=1 Depth=3");
  });
}

TEST_F(FavoritesDialogTest, LoadingADepthOutsideOneToFourClearsEveryDepthButton) {
  PutSlot(0, "Last Design,7,0,100,120,80,8,1,0,11,0,7");
  PutSlot(21, "Gone,7,0,100,120,80,8,1,0,11,0,2");
  RunMain({[](HWND d) {
    EXPECT_EQ(LineOf(d, "Last Design"), -1) << "slot 0 is not a favourite";
    const int gone = LineOf(d, "Gone");
    // Emptied outside the dialog: the double click finds nothing and changes nothing.
    WritePrivateProfileStringA("Lumivane 95", "Favorite21", "", "control.ini");
    DoubleClickLine(d, IDC_FAVORITES_LIST, gone);
    EXPECT_TRUE(Checked(d, IDC_DEPTH_1));
    Click(d, IDC_LAST_PATTERN);
    for (int id : {IDC_DEPTH_1, IDC_DEPTH_2, IDC_DEPTH_3, IDC_DEPTH_4})
      EXPECT_FALSE(Checked(d, id));
    Click(d, IDOK);
  }});
  EXPECT_EQ(Get("Depth"), "4");
}

TEST_F(FavoritesDialogTest, ListSelectionFollowsShiftAndControlClicks) {
  RunMain({[](HWND d) {
    ClickLine(d, IDC_FAVORITES_LIST, 2);
    EXPECT_EQ(SelectedLines(d, IDC_FAVORITES_LIST), (std::vector<int>{2}));
    ClickLine(d, IDC_FAVORITES_LIST, 5, true);
    EXPECT_EQ(SelectedLines(d, IDC_FAVORITES_LIST), (std::vector<int>{2, 3, 4, 5}));
    ClickLine(d, IDC_FAVORITES_LIST, 3, false, true);
    EXPECT_EQ(SelectedLines(d, IDC_FAVORITES_LIST), (std::vector<int>{2, 4, 5}));
    ClickLine(d, IDC_FAVORITES_LIST, 1, true);  // from the new anchor, line 3
    EXPECT_EQ(SelectedLines(d, IDC_FAVORITES_LIST), (std::vector<int>{1, 2, 3}));
    ClickLine(d, IDC_FAVORITES_LIST, 0);
    EXPECT_EQ(SelectedLines(d, IDC_FAVORITES_LIST), (std::vector<int>{0}));
    Click(d, IDCANCEL);
  }});
}

}  // namespace
