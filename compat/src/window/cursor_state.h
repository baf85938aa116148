// The cursor as the backends see it.
#pragma once

namespace compat {

// A cursor shape is set and the show count is not negative.
bool CursorShown();
void ResetCursor();

}  // namespace compat
