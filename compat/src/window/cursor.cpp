// The cursor: whether a shape is set, which shows it, and where it is.
#include <windows.h>

#include <atomic>

#include "backend/backend.h"
#include "window/cursor_state.h"

namespace compat {

namespace {

// A cursor or icon handle stands for its resource id; there are no pixels behind it.
HCURSOR ArrowCursor() { return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x10000 + 32512)); }

std::atomic<HCURSOR> current{ArrowCursor()};

}  // namespace

void ResetCursor() { current = ArrowCursor(); }

}  // namespace compat

using namespace compat;

HCURSOR SetCursor(HCURSOR cursor) {
  const HCURSOR previous = current.exchange(cursor);
  if ((previous == nullptr) != (cursor == nullptr))
    ActiveBackend().SetCursorVisible(cursor != nullptr);
  return previous;
}

HCURSOR GetCursor() { return current.load(); }

BOOL GetCursorPos(LPPOINT point) {
  if (point == nullptr) return FALSE;
  *point = ActiveBackend().CursorPos();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  ActiveBackend().SetCursorPos(x, y);
  return TRUE;
}

HICON LoadIconA(HINSTANCE, LPCSTR name) {
  if (name == nullptr) return nullptr;
  const uintptr_t id = IS_INTRESOURCE(name) ? reinterpret_cast<uintptr_t>(name) : 0xFFFF;
  return reinterpret_cast<HICON>(static_cast<uintptr_t>(0x20000 + id));
}
