// Applies a design to the line model and the trail the way design selection does, with nothing
// left to chance.
#pragma once

#include "engine/line_model.h"
#include "engine/renderer.h"

inline void ApplyDesign(int width, int height, const DesignParams &design,
                        int32_t reflections = 0) {
  ResetLineSet(RECT{0, 0, width, height}, design);
  SetSymmetry(design.Symmetry);
  SetSpin(design.Spin);
  SetLineSize(design.LineSize);
  SetTrailLength(design.TrailLength);
  SetSpeed(design.Speed);
  SetRotations(design.Rotations);
  SetCheese(design.Cheese);
  ResetTrailRing(reflections);
  linesDrawn = 0;
}
