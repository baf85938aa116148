// The cursor: which shape is set, the show count, and where it is.
#include <windows.h>

#include <atomic>

#include "backend/backend.h"
#include "window/cursor_state.h"

namespace compat {

namespace {

// A cursor or icon handle stands for its resource id; there are no pixels behind it.
HCURSOR ArrowCursor() { return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x10000 + 32512)); }

std::atomic<HCURSOR> current{ArrowCursor()};
std::atomic<int> showCount{0};

void Apply() { ActiveBackend().SetCursorVisible(CursorShown()); }

}  // namespace

bool CursorShown() { return current.load() != nullptr && showCount.load() >= 0; }

void ResetCursor() {
  current = ArrowCursor();
  showCount = 0;
}

}  // namespace compat

using namespace compat;

HCURSOR SetCursor(HCURSOR cursor) {
  const HCURSOR previous = current.exchange(cursor);
  if ((previous == nullptr) != (cursor == nullptr)) Apply();
  return previous;
}

HCURSOR GetCursor() { return current.load(); }

int ShowCursor(BOOL show) {
  const int count = show ? ++showCount : --showCount;
  if (count == 0 || count == -1) Apply();
  return count;
}

BOOL GetCursorPos(LPPOINT point) {
  if (point == nullptr) return FALSE;
  *point = ActiveBackend().CursorPos();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  ActiveBackend().SetCursorPos(x, y);
  return TRUE;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
  if (!IS_INTRESOURCE(name)) return nullptr;
  return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x10000 + reinterpret_cast<uintptr_t>(name)));
}

HICON LoadIconA(HINSTANCE, LPCSTR name) {
  if (name == nullptr) return nullptr;
  const uintptr_t id = IS_INTRESOURCE(name) ? reinterpret_cast<uintptr_t>(name) : 0xFFFF;
  return reinterpret_cast<HICON>(static_cast<uintptr_t>(0x20000 + id));
}
