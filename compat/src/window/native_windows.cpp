#include "window/native_windows.h"

#include "backend/backend.h"
#include "window/window_table.h"

namespace compat {

bool AttachNative(Window &window) {
  if (window.windowClass.name == DIALOG_CLASS_NAME) return true;
  if ((window.style & WS_CHILD) && IsLocalHandle(window.parent)) return true;
  NativeWindowSpec spec;
  spec.window = window.handle;
  spec.className = window.windowClass.name.c_str();
  spec.title = window.title.c_str();
  spec.style = window.style;
  spec.exStyle = window.exStyle;
  spec.parent = window.parent;
  spec.x = window.x;
  spec.y = window.y;
  spec.width = window.width;
  spec.height = window.height;
  spec.surface = &window.surface;
  window.native = ActiveBackend().CreateNative(spec);
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
