// The "cdaudio" command interpreter without a disc: the commands the CD keys send fail as on a
// machine without a drive. (With a disc image: tests/e2e/linux_cd.sh.)
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
  unsetenv("LUMIVANE_CDROM");
}
