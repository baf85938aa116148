// The "cdaudio" command interpreter without a disc: everything fails as on a machine without a
// drive, and nothing but "cdaudio" is known. (With a disc image: tests/e2e/linux_cd.sh.)
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

TEST(CdDevice, WithoutADriveOpenFailsAndNothingElseRuns) {
  setenv("LUMIVANE_CDROM", "/nonexistent/disc.cue", 1);
  char answer[49] = "untouched";
  EXPECT_NE(mciSendStringA("open cdaudio shareable", answer, sizeof answer, nullptr), 0u);
  EXPECT_STREQ(answer, "") << "the answer is emptied";
  EXPECT_EQ(mciSendStringA("capability cdaudio device type", answer, sizeof answer, nullptr),
            MCIERR_INVALID_DEVICE_NAME);
  EXPECT_EQ(mciSendStringA("play cdaudio from 1:0", answer, sizeof answer, nullptr),
            MCIERR_INVALID_DEVICE_NAME);
  EXPECT_NE(mciSendStringA("close cdaudio", answer, 19, nullptr), 0u);
  EXPECT_EQ(mciSendStringA("open waveaudio", answer, sizeof answer, nullptr), MCIERR_INVALID_DEVICE_NAME);
  EXPECT_EQ(mciSendStringA("", answer, sizeof answer, nullptr), MCIERR_MISSING_DEVICE_NAME);
  EXPECT_EQ(mciSendStringA(nullptr, answer, sizeof answer, nullptr), MCIERR_MISSING_COMMAND_STRING);
  unsetenv("LUMIVANE_CDROM");
}
