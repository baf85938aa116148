#include "engine/line_model.h"

#include <algorithm>
#include <cmath>

#include "engine/crt_random.h"

LineSetState lineSet;

namespace {

constexpr double ANGLE_PER_THOUSANDTH = 0.0033333333333333335;
constexpr double PREVIEW_SCALE = 0.0009765625;             // 1/1024
constexpr double PREVIEW_VELOCITY_SCALE = 0.000001953125;  // 0.002/1024
constexpr double PULL = 0.0003;

bool Coin() { return (NextRandom() & 1) != 0; }

// Always -2000..-1001, so every velocity built from it starts out negative.
int VelocityDraw() { return NextRandom() % 1000 - 2000; }

double ThousandthAngle() { return (NextRandom() % 1000) * ANGLE_PER_THOUSANDTH; }

// A zero-sized client area would make the random positions divide by zero.
int RandomBelowSize(int size) { return RandomBelow(std::max(size, 1)); }

double Velocity(double e) { return e * 0.01 * VelocityDraw() * 0.002; }

void Bounce(double &position, double &velocity, int limit) {
  if (position < 0) {
    velocity = -velocity;
    position = 0;
  }
  if (position > limit) {
    velocity = -velocity;
    position = limit;
  }
}

}  // namespace

int EffectiveDepth(const DesignParams &design) { return std::clamp(design.Depth, 1, 4); }

void ResetLineSet(const RECT &client, const DesignParams &design) {
  lineSet.design = design;
  lineSet.windowWidth = client.right - client.left;
  lineSet.windowHeight = client.bottom - client.top;
  lineSet.screenCenter = POINT{client.left + lineSet.windowWidth / 2, client.top + lineSet.windowHeight / 2};

  // The stored value: a symmetry left to chance is still the sentinel here.
  const int storedSymmetry = design.Symmetry;
  if (storedSymmetry > 2) {
    const double step = FULL_CIRCLE / storedSymmetry;
    lineSet.figureAngle = step + QUARTER_CIRCLE;
    if (Coin()) lineSet.figureAngle += step / 2;
    if (NextRandom() % 3 == 1) lineSet.figureAngle += Coin() ? -QUARTER_CIRCLE : QUARTER_CIRCLE;
  } else {
    lineSet.figureAngle = ThousandthAngle();
  }
  lineSet.armAngle = ThousandthAngle();

  lineSet.center = lineSet.screenCenter;
  lineSet.centerPos = DoublePoint{double(lineSet.center.x), double(lineSet.center.y)};
  lineSet.depthScale[0] = 0.5;
  lineSet.depthScale[1] = 0.25;
  lineSet.depthScale[2] = 2.0;
  lineSet.splitCounter = 0;
  lineSet.splitInterval = design.Splitting;
  lineSet.spinOscillates = design.Spin < 0;
}

void SetSymmetry(int symmetry) {
  // An edited design string can hold a negative symmetry; it draws like 0, one plain copy.
  lineSet.symmetryCount = std::clamp(symmetry, 0, SYMMETRY_LIMIT);
  if (lineSet.symmetryCount > 0) {
    lineSet.rotationStep = FULL_CIRCLE / lineSet.symmetryCount;
    lineSet.mirrored = true;
  } else {
    lineSet.rotationStep = FULL_CIRCLE;
    lineSet.mirrored = false;
  }
}

void SetSpin(int spin) { lineSet.spinBase = lineSet.spinRate = spin * 0.002; }

void SetLineSize(int lineSize) {
  double size = lineSize;
  if (lineSet.windowWidth < SPEED_REFERENCE_WIDTH) size = size * lineSet.windowWidth * PREVIEW_SCALE;
  lineSet.armLength = lineSet.baseLineSize = size;
}

void SetTrailLength(int trailLength) { lineSet.trailLength = trailLength; }

void SetSpeed(int speed) {
  lineSet.speedInUse = speed;
  if (lineSet.windowWidth >= SPEED_REFERENCE_WIDTH) {
    lineSet.effectiveSpeed = speed;
    lineSet.anchorVelocity.x = Velocity(speed);
    lineSet.anchorVelocity.y = Velocity(speed);
  } else {
    const int width = lineSet.windowWidth;
    const int e = static_cast<int>(double(speed) * width * PREVIEW_SCALE);
    lineSet.effectiveSpeed = e;
    lineSet.anchorVelocity.x = e * 0.01 * VelocityDraw() * width * PREVIEW_VELOCITY_SCALE;
    lineSet.anchorVelocity.y = e * 0.01 * VelocityDraw() * width * PREVIEW_VELOCITY_SCALE;
  }
  ReseedMotion(false, 0);
}

void SetRotations(int rotations) { lineSet.turnRate = rotations * 0.01; }

void SetCheese(int degrees) {
  if (degrees == 0) {
    lineSet.vertexCount = 2;
    return;
  }
  lineSet.vertexCount = 3;
  lineSet.cheeseAngle = degrees * ONE_DEGREE;
}

void ReseedMotion(bool jump, int radius) {
  const double e = lineSet.effectiveSpeed;
  lineSet.anchorAcceleration = DoublePoint{-PULL * e, PULL * e};

  if (jump && radius == -1) {
    lineSet.anchor.x = RandomBelowSize(lineSet.windowWidth);
    lineSet.anchor.y = RandomBelowSize(lineSet.windowHeight);
    lineSet.anchorVelocity.x = Velocity(e);
    lineSet.anchorVelocity.y = Velocity(e);
  } else if (jump) {
    const double theta = (NextRandom() % 628) * 0.01;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    double x = lineSet.center.x + std::trunc(s * radius);
    double y = lineSet.center.y + std::trunc(c * radius);
    const double m = e * 0.01 * (NextRandom() % 1000) * 0.004;
    lineSet.anchor.x = std::clamp(x, 0.0, std::max(lineSet.windowWidth - 1, 0) * 1.0);
    lineSet.anchor.y = std::clamp(y, 0.0, std::max(lineSet.windowHeight - 1, 0) * 1.0);
    const double away = radius < 0 ? -1.0 : 1.0;
    lineSet.anchorVelocity = DoublePoint{away * s * m, away * c * m};
  }

  const DesignParams &design = lineSet.design;
  if (design.Floating) {
    lineSet.centerAcceleration = DoublePoint{PULL * e, -PULL * e};
    if (Coin()) lineSet.centerAcceleration.x = -lineSet.centerAcceleration.x;
    if (Coin()) lineSet.centerAcceleration.y = -lineSet.centerAcceleration.y;
    lineSet.centerVelocity.x = Velocity(e);
    lineSet.centerVelocity.y = Velocity(e);
    if (Coin()) lineSet.centerVelocity.x = -lineSet.centerVelocity.x;
    if (Coin()) lineSet.centerVelocity.y = -lineSet.centerVelocity.y;
    lineSet.center.x = RandomBelowSize(lineSet.windowWidth);
    lineSet.center.y = RandomBelowSize(lineSet.windowHeight);
    lineSet.centerPos = DoublePoint{double(lineSet.center.x), double(lineSet.center.y)};
  }
  if (design.Depth > 1) {
    // Three draws whose results are unused, kept so a seed gives the same pattern.
    for (int i = 0; i < 3; ++i) NextRandom();
    for (double &velocity : lineSet.migrationVelocity) velocity = e * 0.000125 * VelocityDraw() * 0.0004;
  }
}

void TickSplitTimer() {
  if (lineSet.splitInterval <= 0) return;
  if (++lineSet.splitCounter >= lineSet.splitInterval) {
    lineSet.splitCounter = 0;
    ReseedMotion(true, -1);
  }
}

void AdvanceMotion() {
  LineSetState &s = lineSet;
  s.anchor.x += s.anchorVelocity.x;
  s.anchor.y += s.anchorVelocity.y;
  s.vertexB = DoublePoint{s.anchor.x + s.armLength * std::cos(s.armAngle), s.anchor.y + s.armLength * std::sin(s.armAngle)};
  if (s.vertexCount == 3) {
    const double angle = s.armAngle + s.cheeseAngle;
    s.vertexC = DoublePoint{s.anchor.x + s.armLength * std::cos(angle), s.anchor.y + s.armLength * std::sin(angle)};
  }
  s.armAngle += s.turnRate;
  if (s.armAngle > FULL_CIRCLE) s.armAngle -= FULL_CIRCLE;
  if (s.armAngle < -FULL_CIRCLE) s.armAngle += FULL_CIRCLE;

  s.anchorVelocity.x += s.anchorAcceleration.x;
  s.anchorVelocity.y += s.anchorAcceleration.y;
  Bounce(s.anchor.x, s.anchorVelocity.x, s.windowWidth);
  Bounce(s.anchor.y, s.anchorVelocity.y, s.windowHeight);

  const DesignParams &design = lineSet.design;
  if (design.Floating) {
    s.centerPos.x += s.centerVelocity.x;
    s.centerPos.y += s.centerVelocity.y;
    s.centerVelocity.x += s.centerAcceleration.x;
    s.centerVelocity.y += s.centerAcceleration.y;
    s.center = PixelPoint(s.centerPos);
    Bounce(s.centerPos.x, s.centerVelocity.x, s.windowWidth);
    Bounce(s.centerPos.y, s.centerVelocity.y, s.windowHeight);
  }
  if (design.Depth >= 2 && design.Migrating) {
    for (int level = 0; level < DEPTH_LEVEL_COUNT; ++level) {
      double &scale = s.migrationScale[level];
      double &velocity = s.migrationVelocity[level];
      scale += velocity;
      if (scale < -DEPTH_SCALE_LIMIT) {
        velocity = -velocity;
        scale = -DEPTH_SCALE_LIMIT;
      }
      if (scale > DEPTH_SCALE_LIMIT) {
        velocity = -velocity;
        scale = DEPTH_SCALE_LIMIT;
      }
      s.depthScale[level] = scale;
    }
  }
  if (s.spinOscillates) {
    s.spinRate = std::cos(s.spinPhase) * s.spinBase;
    s.spinPhase += 0.01;
  }
  s.figureAngle += s.spinRate;
}
