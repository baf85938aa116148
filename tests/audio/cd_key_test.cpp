#include "audio/cd_key.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The media command interface replaced by one that records each command with its answer buffer
// size, and fails the commands the test names.
std::string sent;
std::vector<std::string> failing;

MCIERROR WINAPI Recording(LPCSTR command, LPSTR answer, UINT length, HWND callback) {
  sent += std::string(sent.empty() ? "" : "; ") + command + " " + std::to_string(length);
  EXPECT_NE(answer, nullptr);
  EXPECT_EQ(callback, nullptr);
  for (const std::string &f : failing)
    if (f == command) return 263;
  return 0;
}

// What the keys pressed at these tick counts sent, from a fresh start.
std::string Keys(std::initializer_list<std::pair<uint32_t, DWORD>> keys) {
  cdKeys = CdKeys();
  cdKeys.sendCommand = Recording;
  sent.clear();
  for (auto [digit, at] : keys) CdKeyAt(digit, at + 10000);
  return sent;
}

constexpr char OPENED[] = "open cdaudio shareable 49; capability cdaudio device type 49; ";

std::string Play(int track) {
  return OPENED + std::string("set cdaudio time format tmsf 49; play cdaudio from ") +
         std::to_string(track) + ":0 49; close cdaudio 19";
}

}  // namespace

TEST(CdKey, DigitsWithinHalfASecondMakeTwoDigitTracks) {
  EXPECT_EQ(Keys({{1, 0}}), Play(1));
  EXPECT_EQ(Keys({{1, 0}, {2, 499}}), Play(1) + "; " + Play(12));
  EXPECT_EQ(Keys({{1, 0}, {2, 500}}), Play(1) + "; " + Play(2)) << "500 ms apart is not within";
  EXPECT_EQ(Keys({{1, 0}, {2, 100}, {3, 200}}), Play(1) + "; " + Play(12) + "; " + Play(23))
      << "the last digit, not the last track, leads";
  EXPECT_EQ(Keys({{1, 0}, {0, 100}}), Play(1) + "; " + Play(10));
  EXPECT_EQ(Keys({{0, 0}}), OPENED + std::string("stop cdaudio 49; close cdaudio 19"));
  // The tick counter's wrap is harmless.
  EXPECT_EQ(Keys({{4, 0xFFFFFF00u - 10000}, {2, 0x10u - 10000}}), Play(4) + "; " + Play(42));
}

TEST(CdKey, FailuresEndTheCommandsWhereTheyMust) {
  failing = {"open cdaudio shareable"};
  EXPECT_EQ(Keys({{5, 0}}), "open cdaudio shareable 49");
  EXPECT_EQ(cdKeys.lastKeyTime, 10000u) << "a key that opened nothing still counts for the next";
  EXPECT_EQ(cdKeys.lastDigit, 5u);
  failing = {"capability cdaudio device type"};
  EXPECT_EQ(Keys({{7, 0}}), OPENED + std::string("close cdaudio 19"));
  failing = {"play cdaudio from 3:0", "set cdaudio time format tmsf"};
  EXPECT_EQ(Keys({{3, 0}}), Play(3)) << "failures of the play commands change nothing";
  failing.clear();
}
