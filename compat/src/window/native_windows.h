// The window-system windows that show our top-level windows, kept by the backend.
#pragma once

namespace compat {

struct Window;

// Gives a new window the native window it needs (a top-level window, or the child of a
// window-system window; not a dialog box, which the dialog layer's toolkit shows). False when
// the backend could not make one.
bool AttachNative(Window &window);
void DetachNative(Window &window);
// The native window, if the window has one, follows its visibility, its title, or comes to
// the front.
void ShowNative(Window &window);
void RetitleNative(Window &window);
void RaiseNative(Window &window);

}  // namespace compat
