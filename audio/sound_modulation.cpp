#include "audio/sound_modulation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/line_model.h"
#include "engine/palette_engine.h"

SoundModulation soundModulation;

namespace {

constexpr double ATTACK_RATES[BAND_COUNT] = {0.2, 0.5, 0.2, 0.2, 0.5, 0.2, 0.08, 0.015};
constexpr double RELEASE_RATES[BAND_COUNT] = {0.3, 0.2, 0.1, 0.1, 0.2, 0.1, 0.04, 0.005};
constexpr uint32_t QUIET_REPORTS_TO_ARM = 4;
constexpr uint32_t QUIET_REPORTS_TO_DREAM = 10;
constexpr uint32_t DREAMING_QUIET_COUNT = 201;
constexpr double DREAM_START_LEVEL = 12.0;
constexpr double DREAM_LEVEL_LIMIT = 30.0;
constexpr int32_t LINE_SIZE_LOWEST = 3, LINE_SIZE_HIGHEST = 400;
constexpr int32_t LINE_SIZE_VELOCITY_LIMIT = 3;
constexpr double SHORTEST_ARM = 2.0;
constexpr double BAND_PHASE_STEP_LIMIT = 0.6;
constexpr int32_t SLOWEST_SOUND_SPEED = 10;
constexpr double ANCHOR_PULL = 0.0003;
constexpr int32_t SPLIT_RAW_CHANGE = 500;
constexpr double SPIN_SCALE = 0.000060240963855421684;

using Levels = double[BAND_COUNT];

const PatternTargets &Pattern() { return soundModulation.pattern; }
LineSetState &Lines() { return *Pattern().lines; }
PaletteEngine &Palette() { return *Pattern().palette; }

void WanderInDream(Levels &s) {
  double sum = 0;
  for (double level : s) sum += level;
  const int t = static_cast<int>(sum);
  for (double &level : s) {
    level += (Pattern().nextRandom() % 1000 - t - 400) / 150.0;
    level = std::clamp(level, 0.0, DREAM_LEVEL_LIMIT);
    Pattern().nextRandom();  // drawn and not used, which keeps the sequence the dream has always had
  }
}

void Smooth(Levels &s, const int16_t *shares) {
  for (int k = 0; k < BAND_COUNT; ++k) {
    const double x = shares[k];
    s[k] += (x - s[k]) * (x > s[k] ? ATTACK_RATES[k] : RELEASE_RATES[k]);
  }
}

void RestartDesign(HWND window, Levels &s, const int16_t *shares) {
  SoundModulation &m = soundModulation;
  HDC dc = GetDC(window);
  RECT client = {};
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(window, dc);
  Pattern().selectNextDesign(window);
  m.armed = false;
  m.paletteRefreshPending = true;
  for (int k = 0; k < BAND_COUNT; ++k) s[k] = shares[k];
  PaletteEngine &palette = Palette();
  palette.paletteCursor = palette.entryCount;
}

void FollowSilence(HWND window, LevelReport &report, DWORD now) {
  SoundModulation &m = soundModulation;
  Levels &s = m.bandLevels;
  if (report.level < QUIET_LEVEL) {
    ++m.quietCount;
    std::fill(report.shares, report.shares + BAND_COUNT, int16_t{0});
    if (m.quietCount == QUIET_REPORTS_TO_ARM) {
      m.armed = true;
      m.quietStart = now;
    }
    if (m.quietCount > QUIET_REPORTS_TO_DREAM) {
      if (now - m.quietStart > m.dreamTimeMs) {
        if (!m.dreaming) {
          std::fill(s, s + BAND_COUNT, DREAM_START_LEVEL);
          m.dreaming = true;
        }
        report.level = DREAM_LEVEL;
        m.quietCount = DREAMING_QUIET_COUNT;
      } else {
        m.dreaming = false;
      }
    }
    return;
  }
  m.quietCount = 0;
  if (m.armed && report.level > RESTART_LEVEL) RestartDesign(window, s, report.shares);
}

void FollowBrightness(double level) {
  double &factor = Palette().brightnessFactor;
  if (factor == -1.0) factor = 1.0;
  const double x = level / QUIET_LEVEL;
  factor += (x - factor) * (x >= factor ? 0.8 : 0.1);
  if (factor > 1.0) factor = 1.0;
}

void FollowLineSize(const Levels &s) {
  int32_t &velocity = soundModulation.lineSizeVelocity;
  LineSetState &lines = Lines();
  const double bass = s[6] * s[6] * 0.06666666666666667 + s[7] * s[7] * 0.24 - s[4] * s[4] * 0.1;
  const double target = std::clamp<double>(std::trunc(bass * lines.baseLineSize * 0.01),
                                           LINE_SIZE_LOWEST, LINE_SIZE_HIGHEST);
  lines.armLength += velocity;
  if (lines.armLength < SHORTEST_ARM) lines.armLength = SHORTEST_ARM;
  if (target > lines.armLength)
    velocity = std::min(velocity + 1, LINE_SIZE_VELOCITY_LIMIT);
  else if (target < lines.armLength)
    velocity = std::max(velocity - 1, -LINE_SIZE_VELOCITY_LIMIT);
}

void FollowBands(const Levels &s) {
  PaletteEngine &palette = Palette();
  palette.bandsOn = 1.0;
  const double sign = palette.bandPhaseStep < 0 ? -1.0 : 1.0;
  const double step = s[0] * s[0] * soundModulation.bandsSensitivity / 2200 / palette.entryCount;
  palette.bandPhaseStep = std::min(step, BAND_PHASE_STEP_LIMIT) * sign;
  if (s[0] < 1.0) palette.bandPhase = 1.0;
}

void FollowSpeed(const int16_t *shares) {
  const double a = (shares[1] * 1.5 + shares[3] * shares[3] / 30.0 + shares[2] * 1.5) * 0.02;
  if (std::fabs(a - soundModulation.previousSpeedFigure) <= 0.05) return;
  LineSetState &lines = Lines();
  const int32_t v = std::max(static_cast<int32_t>(a * lines.speedInUse), SLOWEST_SOUND_SPEED);
  lines.effectiveSpeed = v;
  lines.anchorAcceleration = DoublePoint{-ANCHOR_PULL * v, ANCHOR_PULL * v};
  soundModulation.previousSpeedFigure = a;
}

int16_t Drift(double level, int divisor) {
  return level < 2.0 ? int16_t{-1} : static_cast<int16_t>(static_cast<int>(level) / divisor);
}

void FollowColours(const Levels &s) {
  const SoundModulation &m = soundModulation;
  ColourWalk *walks = Palette().walks;
  ColourWalk &red = walks[CHANNEL_RED], &green = walks[CHANNEL_GREEN], &blue = walks[CHANNEL_BLUE];
  const int redSign = red.step < 0 ? -1 : 1;
  const int greenSign = green.step < 0 ? -1 : 1;
  const int blueSign = blue.step < 0 ? -1 : 1;
  green.step = static_cast<int16_t>(static_cast<int>(s[2] * s[2] * m.greenSensitivity * 0.0008) * greenSign);
  red.step = static_cast<int16_t>(static_cast<int>(s[3] * s[4] * m.redSensitivity / 1800) * redSign);
  blue.step = static_cast<int16_t>(static_cast<int>(s[5] * s[6] * m.blueSensitivity / 8000) * blueSign);
  green.soundDrift = Drift(s[1], 14);
  red.soundDrift = Drift(s[4], 16);
  blue.soundDrift = Drift(s[7], 23);
}

void SplitOnSuddenChange(const LevelReport &report) {
  SoundModulation &m = soundModulation;
  if (std::abs(report.raw[0] - m.previousRaw0) <= SPLIT_RAW_CHANGE) return;
  const double average = m.averageLevel;
  if (!(report.level > average * m.splitFactor || report.level < average / m.splitFactor)) return;
  int winner = -1;
  int32_t largest = 0;
  for (int k = 0; k < BAND_COUNT; ++k) {
    const int32_t d = std::abs(report.shares[k] - m.previousShares[k]);
    if (d > largest) {
      largest = d;
      winner = k;
    }
    m.previousShares[k] = report.shares[k];
  }
  if (winner >= 0) Pattern().reseedMotion(true, (7 - winner) * Lines().windowWidth / 16 + 10);
}

void FollowSpin(const int16_t *shares) {
  double &turnRate = Lines().turnRate;
  turnRate += ((shares[2] - shares[0]) * soundModulation.spinSensitivity * SPIN_SCALE - turnRate) * 0.08;
}

void RefreshPaletteIfPending() {
  SoundModulation &m = soundModulation;
  if (!m.paletteRefreshPending) return;
  if (Pattern().paletteAvailable() && Palette().rotationMode != ROTATION_FIXED_PALETTE)
    Pattern().refreshAllEntries();
  m.paletteRefreshPending = false;
}

}  // namespace

void StartSoundModulation(const SettingsStore &settings, const PatternTargets &pattern) {
  soundModulation = SoundModulation();
  soundModulation.pattern = pattern;
  soundModulation.dreamTimeMs = settings.AudioBlankTimeMs;
  soundModulation.bandsSensitivity = settings.MusicBands;
  soundModulation.spinSensitivity = settings.MusicSpin;
  soundModulation.redSensitivity = settings.MusicRedBands;
  soundModulation.greenSensitivity = settings.MusicGreenBands;
  soundModulation.blueSensitivity = settings.MusicBlueBands;
  soundModulation.splitFactor = settings.SplitFactor;
}

void ArmSoundRestart() { soundModulation.armed = true; }

void OnSoundLevel(HWND window, LevelReport &report) { OnSoundLevelAt(window, report, GetTickCount()); }

void OnSoundLevelAt(HWND window, LevelReport &report, DWORD now) {
  SoundModulation &m = soundModulation;
  if (report.level < QUIET_LEVEL) {
    if (m.dreaming) WanderInDream(m.bandLevels);
  } else {
    m.dreaming = false;
  }
  if (!m.dreaming) Smooth(m.bandLevels, report.shares);
  FollowSilence(window, report, now);
  FollowBrightness(report.level);
  FollowLineSize(m.bandLevels);
  FollowBands(m.bandLevels);
  FollowSpeed(report.shares);
  FollowColours(m.bandLevels);
  SplitOnSuddenChange(report);
  m.previousRaw0 = report.raw[0];
  m.averageLevel += (report.level - m.averageLevel) * 0.25;
  FollowSpin(report.shares);
  RefreshPaletteIfPending();
}
