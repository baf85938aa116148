// The processor time of presenting one whole frame on the palette display: every pixel of a
// picture of lines converted through a hardware palette that changed since the last frame, as
// under palette animation.
#pragma once

// Milliseconds per frame, the median of a few batches; the conversion path is the one the
// presenter chooses for this process.
double WholePaletteFrameMs(int width, int height);
