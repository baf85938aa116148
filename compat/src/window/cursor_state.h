// The cursor shape, back to the arrow (the window layer's reset).
#pragma once

namespace compat {

void ResetCursor();

}  // namespace compat
