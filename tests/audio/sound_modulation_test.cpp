#include "audio/sound_modulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "common/temp_files.h"
#include "engine/animation_driver.h"
#include "engine/crt_random.h"
#include "engine/design_selection.h"
#include "engine/line_model.h"
#include "engine/palette_engine.h"
#include "fake_wave_input.h"

namespace {

constexpr char WINDOW_CLASS[] = "LumivaneModulationTest";
constexpr DWORD REPORT_INTERVAL = 50;

// A design applied in a window of its own, with its settings in a real file, and a fresh
// modulation; reports are fed at 50 ms intervals of a clock the test keeps.
class SoundModulationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    animation.settings = profile.Store();
    window = OpenTestWindow(WINDOW_CLASS, DefWindowProcA, 800, 600);
    ASSERT_NE(window, nullptr);
    SeedRandom(11);
    StartColourWalks(ColourLimits{}, animation.settings.Design.Snazziness);
    SelectNextDesign(window, animation.settings);
    StartSoundModulation(animation.settings, SoundPatternTargets());
  }
  void TearDown() override { CloseTestWindow(window, WINDOW_CLASS); }
  // One report: its level, and every share the same unless given.
  LevelReport Report(double level, int16_t share = 0) const {
    LevelReport r;
    r.level = level;
    for (int16_t &s : r.shares) s = share;
    return r;
  }
  void Feed(LevelReport r) {
    now += REPORT_INTERVAL;
    OnSoundLevelAt(window, r, now);
  }
  void FeedQuiet(int count) {
    for (int i = 0; i < count; ++i) Feed(Report(100));
  }
  const double *S() const { return soundModulation.bandLevels; }
  TempProfile profile;
  HWND window = nullptr;
  DWORD now = 100000;
};

}  // namespace

TEST_F(SoundModulationTest, QuietReportsArmTheRestartAndOnlyALoudSoundAbove800Restarts) {
  EXPECT_FALSE(soundModulation.armed);
  FeedQuiet(3);
  EXPECT_FALSE(soundModulation.armed);
  FeedQuiet(1);
  EXPECT_TRUE(soundModulation.armed);
  EXPECT_EQ(soundModulation.quietStart, now);
  EXPECT_EQ(soundModulation.quietCount, 4u);

  Feed(Report(700, 50));
  EXPECT_EQ(soundModulation.quietCount, 0u);
  EXPECT_TRUE(soundModulation.armed) << "700 is not above 800";
  EXPECT_NE(S()[0], 50.0) << "smoothed, not jumped";

  const int32_t previousCursor = ThePaletteEngine().paletteCursor = 3;
  Feed(Report(900, 50));
  EXPECT_FALSE(soundModulation.armed);
  for (int k = 0; k < BAND_COUNT; ++k) EXPECT_EQ(S()[k], 50.0) << "levels jump to the report";
  EXPECT_NE(ThePaletteEngine().paletteCursor, previousCursor);
  Feed(Report(2000, 50));
  EXPECT_EQ(S()[7], 50.0) << "no second restart without a new silence";

  // Armed by the driver at start: the first loud report restarts at once.
  StartSoundModulation(animation.settings, SoundPatternTargets());
  ArmSoundRestart();
  Feed(Report(801, 40));
  EXPECT_FALSE(soundModulation.armed);
  EXPECT_EQ(S()[3], 40.0);
}

TEST_F(SoundModulationTest, LongSilenceDreamsAfterTheBlankTime) {
  // Blank time 10 s: quiet reports count from the fourth.
  FeedQuiet(11);
  EXPECT_FALSE(soundModulation.dreaming);
  const DWORD fourth = soundModulation.quietStart;
  while (now + REPORT_INTERVAL - fourth <= 10000) {
    Feed(Report(100));
    ASSERT_FALSE(soundModulation.dreaming) << now - fourth;
  }
  EXPECT_EQ(now - fourth, 10000u) << "exactly the blank time is not more than it";
  Feed(Report(100));
  EXPECT_TRUE(soundModulation.dreaming);
  for (int k = 0; k < BAND_COUNT; ++k) EXPECT_EQ(S()[k], 12.0);
  EXPECT_EQ(soundModulation.quietCount, 201u);
  EXPECT_EQ(ThePaletteEngine().brightnessFactor, 1.0) << "a dreaming report counts as 10000";

  // Each quiet report now wanders the levels within 0..30, pulled towards a sum of about 100.
  double sum = 0;
  for (int i = 0; i < 400; ++i) {
    Feed(Report(100));
    for (int k = 0; k < BAND_COUNT; ++k) ASSERT_TRUE(S()[k] >= 0 && S()[k] <= 30) << S()[k];
    if (i >= 200) {
      for (int k = 0; k < BAND_COUNT; ++k) sum += S()[k];
    }
  }
  EXPECT_NEAR(sum / 200, 100, 25);
  EXPECT_GT(soundModulation.averageLevel, 9000);
  Feed(Report(600, 30));
  EXPECT_FALSE(soundModulation.dreaming);

  // Blank time 0: the eleventh quiet report dreams.
  animation.settings.AudioBlankTimeMs = 0;
  StartSoundModulation(animation.settings, SoundPatternTargets());
  FeedQuiet(10);
  EXPECT_FALSE(soundModulation.dreaming);
  FeedQuiet(1);
  EXPECT_TRUE(soundModulation.dreaming);
}

TEST_F(SoundModulationTest, SuddenChangeSplitsOnlyBeyondTheSplitFactor) {
  // The anchor's distance from the centre after a report against an average of 1000.
  auto thrown = [&](LevelReport r) {
    soundModulation.averageLevel = 1000;
    soundModulation.previousRaw0 = 0;
    for (int32_t &p : soundModulation.previousShares) p = 0;
    Feed(r);
    return std::hypot(lineSet.anchor.x - lineSet.center.x, lineSet.anchor.y - lineSet.center.y);
  };
  LevelReport r = Report(1500);
  r.shares[7] = 40;
  r.raw[0] = 600;
  thrown(r);
  EXPECT_EQ(soundModulation.previousShares[7], 0) << "1500 is not above 1000 x 1.5";
  r.level = 1501;
  // The lowest band won: the anchor is thrown 10 pixels from the centre.
  EXPECT_LE(thrown(r), 10.5);
  EXPECT_EQ(soundModulation.previousShares[7], 40);

  // The highest band throws it (7 x width / 16 + 10) away; the first of equal changes wins.
  r = Report(1501);
  r.shares[0] = r.shares[5] = 30;
  r.raw[0] = -501;
  EXPECT_GT(thrown(r), (7 * lineSet.windowWidth / 16 + 10) / 2.0)
      << "clamped to the window, but far from the centre";
  // A raw change of 500 is not sudden.
  r.raw[0] = 500;
  r.level = 5000;
  thrown(r);
  EXPECT_EQ(soundModulation.previousShares[0], 0);
}

TEST_F(SoundModulationTest, BandsLineSizeSpeedAndColoursStayWithinTheirBounds) {
  PaletteEngine &engine = ThePaletteEngine();
  // Bands: always on; a loud top band caps the phase step at 0.6 and keeps its sign.
  engine.bandPhaseStep = -0.02;
  soundModulation.bandLevels[0] = 121;
  Feed(Report(700, 121));
  EXPECT_EQ(engine.bandsOn, 1.0);
  EXPECT_DOUBLE_EQ(engine.bandPhaseStep, -0.6);
  soundModulation.bandLevels[0] = 0.5;
  engine.bandPhase = 0.3;
  Feed(Report(100));
  EXPECT_EQ(engine.bandPhase, 1.0);

  // Line size: a loud bass raises the velocity to 3 at most, silence lowers it to -3 at most,
  // and the arm never gets shorter than 2.
  StartSoundModulation(animation.settings, SoundPatternTargets());
  int lowest = 0, highest = 0;
  double shortest = 1e9;
  for (int i = 0; i < 300; ++i) {
    LevelReport r = Report(1000, 0);
    r.shares[6] = r.shares[7] = i < 150 ? 121 : 0;
    Feed(r);
    lowest = std::min(lowest, soundModulation.lineSizeVelocity);
    highest = std::max(highest, soundModulation.lineSizeVelocity);
    shortest = std::min(shortest, lineSet.armLength);
  }
  EXPECT_EQ(highest, 3);
  EXPECT_EQ(lowest, -3);
  EXPECT_GE(shortest, 2.0);

  // Speed follows the middle bands, never below 10.
  StartSoundModulation(animation.settings, SoundPatternTargets());
  LevelReport r = Report(1000, 0);
  r.shares[1] = r.shares[2] = r.shares[3] = 40;
  Feed(r);
  EXPECT_GT(lineSet.effectiveSpeed, lineSet.speedInUse);
  Feed(Report(1000, 0));
  EXPECT_EQ(lineSet.effectiveSpeed, 10);

  // Colours: steps keep their walk's direction; drifts from S[1], S[4], S[7].
  engine.walks[CHANNEL_GREEN].step = -4;
  for (double &s : soundModulation.bandLevels) s = 30;
  Feed(Report(1000, 30));
  EXPECT_LT(engine.walks[CHANNEL_GREEN].step, -4);
  EXPECT_EQ(engine.walks[CHANNEL_GREEN].soundDrift, 2) << "30 / 14";
  EXPECT_EQ(engine.walks[CHANNEL_RED].soundDrift, 1) << "30 / 16";
  EXPECT_EQ(engine.walks[CHANNEL_BLUE].soundDrift, 1) << "30 / 23";
  soundModulation.bandLevels[1] = 1.5;
  Feed(Report(1000, 0));
  EXPECT_EQ(engine.walks[CHANNEL_GREEN].soundDrift, -1) << "below 2 it drifts down";

  // Rotation glides towards the difference of bands 2 and 0.
  lineSet.turnRate = 0;
  LevelReport spin = Report(1000, 0);
  spin.shares[2] = 83;
  Feed(spin);
  EXPECT_NEAR(lineSet.turnRate, 0.04, 1e-12);

  // Brightness: -1 (not yet set) becomes 1 at most, and a quiet report lets it fall.
  engine.brightnessFactor = -1.0;
  Feed(Report(300));
  EXPECT_GT(engine.brightnessFactor, 0.9);
  EXPECT_LT(engine.brightnessFactor, 1.0);
}
