// The speed, palette and audio dialogs, each opened from its button in the main dialog: what
// they show, their limits and write orders on OK, Cancel writing nothing, and their place over
// the main dialog.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "resources/resource_ids.h"

namespace {

// A sub-dialog opens centred over the main dialog, which waits while it runs.
void CentredOverItsWaitingOwner(HWND s) {
  RECT own, owner;
  GetWindowRect(s, &own);
  GetWindowRect(GetWindow(s, GW_OWNER), &owner);
  EXPECT_NEAR((own.left + own.right) / 2, (owner.left + owner.right) / 2, 1);
  EXPECT_NEAR((own.top + own.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
  EXPECT_FALSE(IsWindowEnabled(GetWindow(s, GW_OWNER)));
}

using SubDialogTest = DialogTest;

TEST_F(SubDialogTest, SpeedShowsThroughputCancelWritesNothingOkKeepsTheLimits) {
  InSubDialog(IDC_SPEED_LIMIT, "System Speed Adjustments", {[](HWND s) {
                CentredOverItsWaitingOwner(s);
                EXPECT_EQ(Text(s, IDC_THROUGHPUT), "Previous throughput = 0 lines/sec");
                EXPECT_EQ(Text(s, IDC_SPEED_GROUP_SIZE), "12");
                EXPECT_EQ(Text(s, IDC_SPEED_INTERVAL), "20");
                EXPECT_EQ(Text(s, IDC_SPEED_DIVISOR), "1");
                Type(s, IDC_SPEED_GROUP_SIZE, "40");
                Type(s, IDC_SPEED_INTERVAL, "40");
                Type(s, IDC_SPEED_DIVISOR, "40");
                Click(s, IDCANCEL);
              }});
  EXPECT_FALSE(Has("SpeedGroupSize"));
  EXPECT_FALSE(Has("SpeedInterval"));
  EXPECT_FALSE(Has("Divisor"));
  // Sets 1 to 1000, interval 5 to 1000 ms, divisor 1 to 50.
  struct Case {
    const char *sets, *interval, *divisor;
    const char *storedSets, *storedInterval, *storedDivisor;
  };
  for (const Case &c :
       {Case{"0", "2", "0", "1", "5", "1"}, Case{"5000", "250", "99", "1000", "250", "50"},
        Case{"200", "x", "7", "200", "5", "7"}}) {
    SCOPED_TRACE(c.sets);
    InSubDialog(IDC_SPEED_LIMIT, "System Speed Adjustments", {[&c](HWND s) {
                  Type(s, IDC_SPEED_GROUP_SIZE, c.sets);
                  Type(s, IDC_SPEED_INTERVAL, c.interval);
                  Type(s, IDC_SPEED_DIVISOR, c.divisor);
                  Click(s, IDOK);
                }});
    EXPECT_EQ(Get("SpeedGroupSize"), c.storedSets);
    EXPECT_EQ(Get("SpeedInterval"), c.storedInterval);
    EXPECT_EQ(Get("Divisor"), c.storedDivisor);
  }
  Put("LastSpeed", "1234.9");
  InSubDialog(IDC_SPEED_LIMIT, "System Speed Adjustments", {[](HWND s) {
                EXPECT_EQ(Text(s, IDC_THROUGHPUT), "Previous throughput = 1234 lines/sec");
                Click(s, IDCANCEL);
              }});
}

TEST_F(SubDialogTest, PaletteBoundsKeepEachLowerBelowItsUpper) {
  InSubDialog(IDC_PALETTE_BUTTON, "Custom Color Palette", {[](HWND s) {
                CentredOverItsWaitingOwner(s);
                EXPECT_EQ(Text(s, IDC_RED_MIN), "0");
                EXPECT_EQ(Text(s, IDC_BLUE_MAX), "255");
                Type(s, IDC_RED_MIN, "255");
                Type(s, IDC_RED_MAX, "100");
                Type(s, IDC_GREEN_MIN, "-5");
                Type(s, IDC_GREEN_MAX, "120");
                Type(s, IDC_BLUE_MIN, "120");
                Type(s, IDC_BLUE_MAX, "120");
                Click(s, IDOK);
              }});
  EXPECT_EQ(Get("RedMin"), "254");
  EXPECT_EQ(Get("RedMax"), "255");
  EXPECT_EQ(Get("GreenMin"), "0");
  EXPECT_EQ(Get("GreenMax"), "120");
  EXPECT_EQ(Get("BlueMin"), "120");
  EXPECT_EQ(Get("BlueMax"), "121");
  InSubDialog(IDC_PALETTE_BUTTON, "Custom Color Palette", {[](HWND s) {
                EXPECT_EQ(Text(s, IDC_RED_MIN), "254");
                for (int id : {IDC_RED_MIN, IDC_GREEN_MIN, IDC_BLUE_MIN, IDC_RED_MAX, IDC_GREEN_MAX,
                               IDC_BLUE_MAX})
                  Type(s, id, "");
                Click(s, IDOK);
              }});
  EXPECT_EQ(Get("RedMin"), "0");
  EXPECT_EQ(Get("RedMax"), "1");
}

TEST_F(SubDialogTest, AudioWritesLowSixteenBitsClampsSplittingAndKeepsAnUnofferedRate) {
  Put("Audio", "1");  // "Configure Audio" is usable only then
  Put("AudioSampleRate", "12345");
  Put("RecordingDevice", "3");
  const UINT devices = waveInGetNumDevs();
  InSubDialog(IDC_CONFIGURE_AUDIO, "Audio Configuration", {[devices](HWND s) {
                CentredOverItsWaitingOwner(s);
                EXPECT_EQ(ComboSelection(s, IDC_SAMPLE_RATE), -1);
                EXPECT_EQ(ComboText(s, IDC_SAMPLE_RATE, 0), "44100 Hz");
                EXPECT_EQ(ComboText(s, IDC_BITS_PER_SAMPLE, 1), "8-bit");
                EXPECT_EQ(ComboSelection(s, IDC_BITS_PER_SAMPLE), 0);
                EXPECT_EQ(SendDlgItemMessageA(s, IDC_RECORDING_DEVICE, CB_GETCOUNT, 0, 0),
                          static_cast<LRESULT>(devices));
                // A stored device beyond the list falls back to the first.
                if (devices > 0 && devices <= 3) {
                  EXPECT_EQ(ComboSelection(s, IDC_RECORDING_DEVICE), 0);
                }
                EXPECT_EQ(Text(s, IDC_MUSIC_BANDS), "100");
                EXPECT_EQ(Text(s, IDC_MUSIC_SPLITTING), "100");
                EXPECT_EQ(Text(s, IDC_BLANK_TIME), "10");
                Type(s, IDC_MUSIC_BANDS, "150.7");
                Type(s, IDC_MUSIC_SPIN, "-1");
                Type(s, IDC_MUSIC_RED, "loud");
                Type(s, IDC_MUSIC_SPLITTING, "0");
                Type(s, IDC_BLANK_TIME, "25");
                SelectCombo(s, IDC_BITS_PER_SAMPLE, 1);
                Click(s, IDOK);
              }});
  EXPECT_EQ(Get("AudioSampleRate"), "12345");
  EXPECT_EQ(Get("AudioBitsPerSample"), "8");
  EXPECT_EQ(Get("MusicBands"), "150");
  EXPECT_EQ(Get("MusicSpin"), "65535");
  EXPECT_EQ(Get("MusicRedBands"), "0");
  EXPECT_EQ(Get("MusicSplitting"), "1");
  EXPECT_EQ(Get("AudioBlankTime"), "25");
  // No device at all is written as the list's empty selection in 16 bits.
  EXPECT_EQ(Get("RecordingDevice"), devices == 0 ? "65535" : "0");
  InSubDialog(IDC_CONFIGURE_AUDIO, "Audio Configuration", {[](HWND s) {
                EXPECT_EQ(Text(s, IDC_BLANK_TIME), "25");
                Type(s, IDC_MUSIC_SPLITTING, "40000");
                Click(s, IDOK);
              }});
  EXPECT_EQ(Get("MusicSplitting"), "32760");
  InSubDialog(IDC_CONFIGURE_AUDIO, "Audio Configuration", {[](HWND s) {
                Type(s, IDC_MUSIC_SPLITTING, "9");
                Click(s, IDCANCEL);
              }});
  EXPECT_EQ(Get("MusicSplitting"), "32760");
}

}  // namespace
