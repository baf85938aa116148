// One full-screen run of the real saver ("/s") on the headless backend's virtual display,
// stopped after a number of draw-timer ticks, with the picture it drew read back.
#pragma once

#include <functional>
#include <string>

#include "tools/png_file.h"

// Called after every draw-timer tick with the number of ticks done so far.
using TickProgress = std::function<void(int ticksDone)>;

// The display (LUMIVANE_DISPLAY), seed (LUMIVANE_SEED) and settings folder (LUMIVANE_HOME) come
// from the environment. Time is the headless backend's virtual clock only, so equal inputs draw
// equal pictures. On failure returns false with one line in *error.
bool RenderSaverHeadless(int width, int height, int ticks, const TickProgress &progress,
                         RgbPicture *picture, std::string *error);
