#include "window/native_windows.h"

#include "backend/backend.h"
#include "window/window_table.h"

namespace compat {

bool AttachNative(Window &window) {
  if (window.windowClass.name == DIALOG_CLASS_NAME) return true;
  if ((window.style & WS_CHILD) && IsLocalHandle(window.parent)) return true;
  NativeWindowDescription description;
  description.window = window.handle;
  description.className = window.windowClass.name.c_str();
  description.title = window.title.c_str();
  description.style = window.style;
  description.exStyle = window.exStyle;
  description.parent = window.parent;
  description.x = window.x;
  description.y = window.y;
  description.width = window.width;
  description.height = window.height;
  description.surface = &window.surface;
  window.native = ActiveBackend().CreateNative(description);
  return window.native;
}

void DetachNative(Window &window) {
  if (!window.native) return;
  ActiveBackend().DestroyNative(window.handle);
  window.native = false;
}

void ShowNative(Window &window) {
  if (window.native) ActiveBackend().ShowNative(window.handle, (window.style & WS_VISIBLE) != 0);
}

void RetitleNative(Window &window) {
  if (window.native) ActiveBackend().SetNativeTitle(window.handle, window.title.c_str());
}

void RaiseNative(Window &window) {
  if (window.native) ActiveBackend().RaiseNative(window.handle);
}

}  // namespace compat
