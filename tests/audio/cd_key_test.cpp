#include "audio/cd_key.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The media command interface replaced by one that records each command and its answer
// buffer size, and fails the commands the test names.
std::vector<std::string> sent;
std::vector<std::string> failing;

MCIERROR WINAPI Recording(LPCSTR command, LPSTR answer, UINT length, HWND callback) {
  sent.push_back(std::string(command) + " [" + std::to_string(length) +
                 (callback ? ",window]" : "]"));
  EXPECT_NE(answer, nullptr);
  for (const std::string &f : failing)
    if (f == command) return 263;
  return 0;
}

class CdKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cdKeys = CdKeys();
    cdKeys.sendCommand = Recording;
    sent.clear();
    failing.clear();
  }
  std::vector<std::string> Keys(std::initializer_list<std::pair<uint32_t, DWORD>> keys) {
    sent.clear();
    for (auto [digit, at] : keys) CdKeyAt(digit, at);
    return sent;
  }
};

std::vector<std::string> Play(int track) {
  return {"open cdaudio shareable [49]", "capability cdaudio device type [49]",
          "set cdaudio time format tmsf [49]",
          "play cdaudio from " + std::to_string(track) + ":0 [49]", "close cdaudio [19]"};
}

std::vector<std::string> Then(std::vector<std::string> a, const std::vector<std::string> &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

TEST_F(CdKeyTest, DigitsWithinHalfASecondMakeTwoDigitTracks) {
  EXPECT_EQ(Keys({{1, 10000}}), Play(1));
  EXPECT_EQ(Keys({{1, 20000}, {2, 20499}}), Then(Play(1), Play(12)));
  EXPECT_EQ(Keys({{1, 30000}, {2, 30500}}), Then(Play(1), Play(2))) << "500 ms apart is not within";
  EXPECT_EQ(Keys({{1, 40000}, {2, 40100}, {3, 40200}}), Then(Then(Play(1), Play(12)), Play(23)))
      << "the last digit, not the last track, leads";
  EXPECT_EQ(Keys({{1, 50000}, {0, 50100}}), Then(Play(1), Play(10)));
  const std::vector<std::string> stop = {"open cdaudio shareable [49]",
                                         "capability cdaudio device type [49]", "stop cdaudio [49]",
                                         "close cdaudio [19]"};
  EXPECT_EQ(Keys({{0, 60000}}), stop);
  // The tick counter's wrap is harmless.
  cdKeys.lastKeyTime = 0xFFFFFF00u;
  cdKeys.lastDigit = 4;
  EXPECT_EQ(Keys({{2, 0x00000010u}}), Play(42));
}

TEST_F(CdKeyTest, FailuresEndTheCommandsWhereTheyMust) {
  failing = {"open cdaudio shareable"};
  EXPECT_EQ(Keys({{5, 10000}}), (std::vector<std::string>{"open cdaudio shareable [49]"}));
  EXPECT_EQ(cdKeys.lastKeyTime, 10000u) << "the key still counts for the next digit";
  EXPECT_EQ(cdKeys.lastDigit, 5u);

  failing = {"capability cdaudio device type"};
  EXPECT_EQ(Keys({{7, 20000}}), (std::vector<std::string>{"open cdaudio shareable [49]",
                                                          "capability cdaudio device type [49]",
                                                          "close cdaudio [19]"}));
  failing = {"play cdaudio from 3:0", "set cdaudio time format tmsf"};
  EXPECT_EQ(Keys({{3, 30000}}), Play(3)) << "failures of the play commands change nothing";
}
