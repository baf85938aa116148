// The speed, palette and audio dialogs, each opened from its button in the main dialog: their
// place over the main dialog, what they show, Cancel writing nothing, and the limits OK keeps on
// what is typed, in them and in the main dialog.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "resources/resource_ids.h"

namespace {

using SubDialogTest = DialogTest;

TEST_F(SubDialogTest, EachOpensCentredOverItsWaitingOwnerShowsTheStoreAndCancelWritesNothing) {
  PutAll("Audio=1 LastSpeed=1234.9");  // "Configure Audio" is usable only with Audio on
  const struct {
    int button, box;
    const char *key, *shown;
  } cases[] = {{IDC_SPEED_LIMIT, IDC_SPEED_INTERVAL, "SpeedInterval", "40"},
               {IDC_SPEED_LIMIT, IDC_THROUGHPUT, nullptr, "Previous throughput = 1234 lines/sec"},
               {IDC_PALETTE_BUTTON, IDC_GREEN_MAX, "GreenMax", "17"},
               {IDC_CONFIGURE_AUDIO, IDC_BLANK_TIME, "AudioBlankTime", "25"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.shown);
    if (c.key) Put(c.key, c.shown);
    InSubDialog(c.button, {[&c](HWND s) {
                  RECT own, owner;
                  GetWindowRect(s, &own);
                  GetWindowRect(GetWindow(s, GW_OWNER), &owner);
                  EXPECT_NEAR((own.left + own.right) / 2, (owner.left + owner.right) / 2, 1);
                  EXPECT_NEAR((own.top + own.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
                  EXPECT_FALSE(IsWindowEnabled(GetWindow(s, GW_OWNER)));
                  EXPECT_EQ(Text(s, c.box), c.shown);
                  Type(s, c.box, "9");
                  Click(s, IDCANCEL);
                }});
    if (c.key) {
      EXPECT_EQ(Get(c.key), c.shown);
    }
  }
}

// The boxes OK reads in one dialog and the keys it stores them under, in the same order.
struct Boxes {
  int button;  // the main dialog's button that opens the dialog; 0 for the main dialog itself
  std::vector<int> ids;
  std::vector<const char *> keys;
};
const Boxes MAIN{
    0, {IDC_PEN_WIDTH, IDC_SPLITTING, IDC_REFRESH}, {"PenWidth", "Splitting", "Refresh"}};
const Boxes SPEED{IDC_SPEED_LIMIT,
                  {IDC_SPEED_GROUP_SIZE, IDC_SPEED_INTERVAL, IDC_SPEED_DIVISOR},
                  {"SpeedGroupSize", "SpeedInterval", "Divisor"}};
const Boxes PALETTE{
    IDC_PALETTE_BUTTON,
    {IDC_RED_MIN, IDC_RED_MAX, IDC_GREEN_MIN, IDC_GREEN_MAX, IDC_BLUE_MIN, IDC_BLUE_MAX},
    {"RedMin", "RedMax", "GreenMin", "GreenMax", "BlueMin", "BlueMax"}};
const Boxes AUDIO{
    IDC_CONFIGURE_AUDIO,
    {IDC_MUSIC_SPLITTING, IDC_MUSIC_BANDS, IDC_MUSIC_SPIN, IDC_MUSIC_RED, IDC_BLANK_TIME},
    {"MusicSplitting", "MusicBands", "MusicSpin", "MusicRedBands", "AudioBlankTime"}};

TEST_F(SubDialogTest, OkKeepsTypedNumbersWithinTheirLimits) {
  Put("Audio", "1");
  // What is typed into the first boxes of a dialog, and what OK stores for the first keys.
  const struct {
    const Boxes &dialog;
    std::vector<const char *> typed, stored;
  } cases[] = {
      {MAIN, {"0", "40000", "0"}, {"1", "0", "0"}},
      {MAIN, {"40", "-3", "-20"}, {"16", "0", "0"}},
      {MAIN, {" 7x", "junk", "90"}, {"7", "0", "90"}},
      // Sets 1 to 1000, interval 5 to 1000 ms, divisor 1 to 50.
      {SPEED, {"0", "2", "0"}, {"1", "5", "1"}},
      {SPEED, {"5000", "250", "99"}, {"1000", "250", "50"}},
      {SPEED, {"200", "x", "7"}, {"200", "5", "7"}},
      // Each lower colour bound stays below its upper one.
      {PALETTE,
       {"255", "100", "-5", "120", "120", "120"},
       {"254", "255", "0", "120", "120", "121"}},
      {PALETTE, {"", ""}, {"0", "1"}},
      // The audio dialog writes the low sixteen bits.
      {AUDIO, {"0", "150.7", "-1", "loud", "25"}, {"1", "150", "65535", "0", "25"}},
      {AUDIO, {"40000"}, {"32760"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.dialog.keys[0]) + " typed as " + c.typed[0]);
    const DialogStep typeAndOk = [&c](HWND d) {
      for (size_t i = 0; i < c.typed.size(); ++i) Type(d, c.dialog.ids[i], c.typed[i]);
      Click(d, IDOK);
    };
    if (c.dialog.button)
      InSubDialog(c.dialog.button, {typeAndOk});
    else
      RunMain({typeAndOk});
    for (size_t i = 0; i < c.stored.size(); ++i)
      EXPECT_EQ(Get(c.dialog.keys[i]), c.stored[i]) << c.dialog.keys[i];
  }
}

TEST_F(SubDialogTest, AudioListsTheDevicesAndFormatsAndKeepsAnUnofferedRate) {
  PutAll("Audio=1 AudioSampleRate=12345 RecordingDevice=3");
  const UINT devices = waveInGetNumDevs();
  InSubDialog(
      IDC_CONFIGURE_AUDIO, {[devices](HWND s) {
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
        EXPECT_EQ(Texts(s, {IDC_MUSIC_BANDS, IDC_MUSIC_SPLITTING, IDC_BLANK_TIME}), "100 100 10");
        SelectCombo(s, IDC_BITS_PER_SAMPLE, 1);
        Click(s, IDOK);
      }});
  // No device at all is written as the list's empty selection in 16 bits.
  ExpectStored(std::string("AudioSampleRate=12345 AudioBitsPerSample=8 RecordingDevice=") +
               (devices == 0 ? "65535" : "0"));
}

}  // namespace
