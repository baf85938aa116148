// The main configuration dialog through its real procedure and template, against control.ini:
// what opening shows, scrolling, storing on OK, the random boxes, the design controls under
// Choose Randomly, the two kinds of display, and the dialog keyboard. Its typed limits are held
// with the sub-dialogs'; that its controls sit where the template says the end-to-end dialog run
// shows by clicking them.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "resources/resource_ids.h"

namespace {

using ConfigureDialogTest = DialogTest;

TEST_F(ConfigureDialogTest, OpeningShowsTheStoredDesignAndOkStoresWhatTheControlsSay) {
  // Spin -5, stored with 1000 added, and random.
  PutAll(
      "Depth=7 Floating=2 Migrating=1 Symmetry=12 Spin=995 PotLuck1=1 Audio=0 Splitting=250 "
      "PenWidth=3 Refresh=45");
  const INT_PTR result = RunMain({[](HWND d) {
    EXPECT_TRUE(Checked(d, IDC_DEPTH_4));
    for (int id : {IDC_DEPTH_1, IDC_DEPTH_2, IDC_DEPTH_3}) EXPECT_FALSE(Checked(d, id));
    EXPECT_FALSE(Checked(d, IDC_FLOATING));
    EXPECT_TRUE(Checked(d, IDC_MIGRATING));
    EXPECT_EQ(ScrollPosition(d, IDC_SYMMETRY_SCROLL), 12);
    EXPECT_EQ(Text(d, IDC_SYMMETRY_VALUE), "12");
    // A random parameter: its label says so and its scrollbar rests.
    EXPECT_TRUE(Checked(d, IDC_SPIN_RANDOM));
    EXPECT_EQ(Text(d, IDC_SPIN_VALUE), "Random");
    EXPECT_FALSE(Enabled(d, IDC_SPIN_SCROLL));
    EXPECT_FALSE(Enabled(d, IDC_CONFIGURE_AUDIO));
    EXPECT_FALSE(Enabled(d, IDC_ADD));
    EXPECT_EQ(Texts(d, {IDC_SPLITTING, IDC_PEN_WIDTH, IDC_REFRESH}), "250 3 45");
    // Unticking shows the held value, wherever the thumb was left; OK stores the label.
    ScrollBy(d, IDC_SYMMETRY_SCROLL, SB_LINERIGHT);
    Click(d, IDC_SYMMETRY_RANDOM);
    EXPECT_EQ(Text(d, IDC_SYMMETRY_VALUE), "Random");
    Click(d, IDC_SYMMETRY_RANDOM);
    EXPECT_EQ(Text(d, IDC_SYMMETRY_VALUE), "12");
    EXPECT_EQ(ScrollPosition(d, IDC_SYMMETRY_SCROLL), 13);
    Click(d, IDC_SPIN_RANDOM);
    EXPECT_EQ(Text(d, IDC_SPIN_VALUE), "-5");
    EXPECT_TRUE(Enabled(d, IDC_SPIN_SCROLL));
    Click(d, IDC_AUDIO);
    EXPECT_TRUE(Enabled(d, IDC_CONFIGURE_AUDIO));
    Click(d, IDOK);
  }});
  EXPECT_EQ(result, 1);
  ExpectStored("Depth=4 Floating=0 Migrating=1 Symmetry=12 Spin=995 PotLuck1=0 Audio=1 Refresh=45");
}

TEST_F(ConfigureDialogTest, ScrollingColouringAndChooseRandomlyOnEachDisplay) {
  ForEachDisplay([](bool palette) {
    PutAll("ColorRotation=1 ColorBands=40");
    RunMain({[palette](HWND d) {
      // Without a palette the rotation is None and the bands are not available.
      EXPECT_EQ(SendDlgItemMessageA(d, IDC_ROTATION_LIST, LB_GETCURSEL, 0, 0), palette ? 1 : 3);
      EXPECT_TRUE(Enabled(d, IDC_ROTATION_LIST));
      EXPECT_EQ(Text(d, IDC_BANDS_VALUE), palette ? "40" : "N/A");
      EXPECT_EQ(Text(d, IDC_BAND_WIDTH_VALUE) == "N/A", !palette);

      // Scroll codes move by lines, pages and thumb within the range.
      const int spin = ScrollPosition(d, IDC_SPIN_SCROLL);
      ScrollBy(d, IDC_SPIN_SCROLL, SB_PAGERIGHT);
      EXPECT_EQ(ScrollPosition(d, IDC_SPIN_SCROLL), spin + 6);
      EXPECT_EQ(Text(d, IDC_SPIN_VALUE), std::to_string(spin + 6));
      ScrollBy(d, IDC_SYMMETRY_SCROLL, SB_THUMBPOSITION, 50);
      ScrollBy(d, IDC_SYMMETRY_SCROLL, SB_PAGELEFT);
      EXPECT_EQ(ScrollPosition(d, IDC_SYMMETRY_SCROLL), 40);
      ScrollBy(d, IDC_ROTATIONS_SCROLL, SB_THUMBTRACK, static_cast<WORD>(-45));
      EXPECT_EQ(Text(d, IDC_ROTATIONS_VALUE), "-45");
      EXPECT_EQ(ScrollPosition(d, IDC_ROTATIONS_SCROLL), -45);
      ScrollBy(d, IDC_LINE_SIZE_SCROLL, SB_THUMBPOSITION, 2);
      ScrollBy(d, IDC_LINE_SIZE_SCROLL, SB_LINELEFT);
      EXPECT_EQ(Text(d, IDC_LINE_SIZE_VALUE), "2");
      ScrollBy(d, IDC_CHEESE_SCROLL, SB_THUMBPOSITION, 500);
      EXPECT_EQ(Text(d, IDC_CHEESE_VALUE), "179");
      if (palette) {
        ScrollBy(d, IDC_BANDS_SCROLL, SB_PAGERIGHT);
        EXPECT_EQ(ScrollPosition(d, IDC_BANDS_SCROLL), 100);
      }

      // Choose Randomly turns off only the design controls.
      Type(d, IDC_FAVORITE_NAME, "Mine");
      EXPECT_TRUE(Enabled(d, IDC_ADD));
      ASSERT_TRUE(Enabled(d, IDC_CHOOSE_RANDOMLY));  // the seeded favourites
      Click(d, IDC_CHOOSE_RANDOMLY);
      for (int id :
           {IDC_SYMMETRY_SCROLL, IDC_SYMMETRY_RANDOM, IDC_CHEESE_SCROLL, IDC_ROTATION_LIST,
            IDC_ROTATION_RANDOM, IDC_BANDS_SCROLL, IDC_DEPTH_1, IDC_DEPTH_4, IDC_FLOATING,
            IDC_MIGRATING, IDC_SPLITTING, IDC_PEN_WIDTH, IDC_LAST_PATTERN, IDC_REMOVE, IDC_ADD,
            IDC_SNAZZINESS, IDC_CHEESE_TYPE, IDC_FAVORITE_NAME, IDC_FAVORITES_LIST})
        EXPECT_FALSE(Enabled(d, id)) << id;
      for (int id : {IDC_AUDIO, IDC_POLITE, IDC_PALETTE_BUTTON, IDC_SPEED_LIMIT, IDC_REFRESH,
                     IDC_CHOOSE_RANDOMLY})
        EXPECT_TRUE(Enabled(d, id)) << id;
      Click(d, IDC_CHOOSE_RANDOMLY);
      EXPECT_TRUE(Enabled(d, IDC_SYMMETRY_SCROLL));
      EXPECT_TRUE(Enabled(d, IDC_ADD));
      EXPECT_TRUE(Enabled(d, IDC_ROTATION_LIST));
      // Without a palette the colouring controls stay off even now.
      for (int id : {IDC_BANDS_SCROLL, IDC_BANDS_RANDOM, IDC_BAND_WIDTH_SCROLL,
                     IDC_BAND_WIDTH_RANDOM, IDC_ROTATION_RANDOM, IDC_SNAZZINESS})
        EXPECT_EQ(Enabled(d, id), palette) << id;
      Click(d, IDOK);
    }});
    ExpectStored("Rotations=955 Symmetry=40 LineSize=2 Cheese=179");
    // Storing leaves the bands alone without a palette.
    ExpectStored(palette ? "ColorBands=100 ColorRotation=1" : "ColorBands=40 ColorRotation=3");
  });
}

TEST_F(ConfigureDialogTest, OnlyOkAndEnterStoreCancelCloseAndEscapeStoreNothing) {
  // Enter goes to the default button, OK, even from a scrollbar; Escape is Cancel.
  const struct {
    const char *way;
    DialogStep end;
    INT_PTR result;
  } ways[] = {
      {"Cancel", [](HWND d) { Click(d, IDCANCEL); }, 0},
      {"close", [](HWND d) { SendMessageA(d, WM_CLOSE, 0, 0); }, 0},
      {"Escape", [](HWND d) { PressKey(d, VK_ESCAPE); }, 0},
      {"Enter",
       [](HWND d) {
         SetFocus(GetDlgItem(d, IDC_SYMMETRY_SCROLL));
         PressKey(d, VK_RETURN);
       },
       1},
  };
  for (const auto &w : ways) {
    SCOPED_TRACE(w.way);
    Put("Symmetry", "12");
    const INT_PTR result = RunMain(
        {[](HWND d) { ScrollBy(d, IDC_SYMMETRY_SCROLL, SB_PAGERIGHT); }, w.end, [](HWND) {}});
    EXPECT_EQ(result, w.result);
    EXPECT_EQ(Get("Symmetry"), w.result ? "22" : "12");
    EXPECT_EQ(Get("Polite"), w.result ? "1" : "(absent)");
  }
}

TEST_F(ConfigureDialogTest, MnemonicsTabAndArrowKeysFollowTheDialogManager) {
  RunMain({[](HWND d) {
             SetFocus(GetDlgItem(d, IDC_PEN_WIDTH));
             PressAltLetter(d, 'e');  // "Sp&eed"
           },
           [](HWND d) {
             EXPECT_EQ(FocusId(), IDC_SPEED_SCROLL);
             PressKey(d, VK_TAB);
           },
           [](HWND d) {
             EXPECT_EQ(FocusId(), IDC_SPEED_RANDOM);
             // The arrow keys belong to a focused scrollbar's line codes.
             SetFocus(GetDlgItem(d, IDC_SPEED_SCROLL));
             PressKey(d, VK_RIGHT);
           },
           [](HWND d) {
             EXPECT_EQ(Text(d, IDC_SPEED_VALUE), "81");
             Click(d, IDCANCEL);
           }});
}

}  // namespace
