// The processor time of presenting one whole frame on the palette display: every pixel of a
// picture the saver drew converted through a hardware palette that changed since the last
// frame, as under palette animation.
#pragma once

#include "tools/png_file.h"

// Milliseconds per frame, the median of a few batches; the conversion path is the one the
// presenter chooses for this process. The picture's black stays black, every other colour
// becomes a palette index of its own. With `coldCaches`, other memory is read before each
// frame, as drawing and other programs leave the caches between the saver's frames; the
// reading is not counted.
double WholePaletteFrameMs(const RgbPicture &picture, bool coldCaches);
