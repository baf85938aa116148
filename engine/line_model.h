// The moving generator: a segment or wedge flying across the window, and the frame
// (centre, start angle, depth factors) in which the renderer replicates it.
#pragma once

#include <windows.h>

#include "settings/design_record.h"

constexpr double FULL_CIRCLE = 6.283185307;
constexpr double QUARTER_CIRCLE = 1.57079632675;
constexpr double ONE_DEGREE = 0.017453292519444445;
// Windows narrower than this (the preview) scale line size and speed by width / 1024.
constexpr int SPEED_REFERENCE_WIDTH = 400;
constexpr double DEPTH_SCALE_LIMIT = 2.2;
constexpr int DEPTH_LEVEL_COUNT = 3;  // the extra levels 2, 3 and 4

struct DoublePoint {
  double x = 0.0;
  double y = 0.0;
};

struct LineSetState {
  int windowWidth = 0;
  int windowHeight = 0;
  POINT screenCenter = {0, 0};
  POINT center = {0, 0};
  DoublePoint centerPos;
  DoublePoint centerVelocity;
  DoublePoint centerAcceleration;
  DoublePoint anchor;
  DoublePoint anchorVelocity;
  DoublePoint anchorAcceleration;
  DoublePoint vertexB;
  DoublePoint vertexC;
  double armAngle = 0.0;
  double turnRate = 0.0;
  double armLength = 0.0;
  double baseLineSize = 0.0;
  double cheeseAngle = 0.0;
  int vertexCount = 2;
  int effectiveSpeed = 0;
  double speedInUse = 0.0;
  int symmetryCount = 0;
  double rotationStep = FULL_CIRCLE;
  bool mirrored = false;
  double figureAngle = 0.0;
  double spinRate = 0.0;
  double spinBase = 0.0;
  bool spinOscillates = false;
  double spinPhase = 0.0;
  double depthScale[DEPTH_LEVEL_COUNT] = {0.5, 0.25, 2.0};
  double migrationScale[DEPTH_LEVEL_COUNT] = {0.5, 0.25, 2.0};
  double migrationVelocity[DEPTH_LEVEL_COUNT] = {0.0, 0.0, 0.0};
  int splitInterval = 0;
  int splitCounter = 0;
  int trailLength = 0;
  // The design being shown, as stored (before any random draw): the motion reads its
  // Floating, Migrating and Depth, the renderer its Depth, PenWidth and CheeseType.
  DesignParams design;
};

// The animation's one generator.
extern LineSetState lineSet;

// Starts a design in the given client area and keeps a copy of the stored design.
void ResetLineSet(const RECT &client, const DesignParams &design);
void SetSymmetry(int symmetry);
void SetSpin(int spin);
void SetLineSize(int lineSize);
void SetTrailLength(int trailLength);
void SetSpeed(int speed);
void SetRotations(int rotations);
void SetCheese(int degrees);
// radius -1 with jump: a timed split to a random place; another radius: a sound split
// that throws the anchor that far from the centre.
void ReseedMotion(bool jump, int radius);
void TickSplitTimer();
void AdvanceMotion();

// Depth as drawn and as the trail ring is sized: 1 to 4.
int EffectiveDepth(const DesignParams &design);

// A position in pixels: truncated toward zero, and kept within 16 bits so that what the
// trail ring stores is exactly what was drawn.
inline int PixelCoord(double value) {
  if (!(value > -32768.0)) return -32768;  // NaN lands here too
  if (value >= 32767.0) return 32767;
  return static_cast<int>(value);
}
inline POINT PixelPoint(const DoublePoint &p) { return POINT{PixelCoord(p.x), PixelCoord(p.y)}; }
