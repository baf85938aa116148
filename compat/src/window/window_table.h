// The process's window classes and windows.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gdi/surface.h"
#include "window/handles.h"

namespace compat {

// The class of every dialog box, as Windows names it.
constexpr const char DIALOG_CLASS_NAME[] = "#32770";

struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
};

struct Window {
  HWND handle = nullptr;
  DWORD threadId = 0;
  WindowClass windowClass;
  WNDPROC proc = nullptr;
  std::string title;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // WS_CHILD windows only; may be a window of the window system
  HMENU id = nullptr;
  HINSTANCE instance = nullptr;
  LONG_PTR userData = 0;
  int x = 0, y = 0;  // relative to the parent's client area, or the screen
  int width = 0, height = 0;
  bool needsPaint = false;
  bool needsErase = false;
  bool destroying = false;
  Surface surface;
  bool native = false;  // the backend shows it in a window-system window of its own
};

// Class table.
bool AddClass(const WindowClass &windowClass);
bool RemoveClass(const char *name);
bool FindClass(const char *name, WindowClass *out);

// Window table. A Window stays valid until RemoveWindow; only its own thread changes it.
HWND NewWindowHandle();
Window *AddWindow(std::unique_ptr<Window> window);
Window *FindLocalWindow(HWND handle);
std::unique_ptr<Window> RemoveWindow(HWND handle);
// Snapshot of all windows, oldest first; with a thread id, only that thread's windows (which
// no other thread destroys under the caller).
std::vector<Window *> AllWindows(DWORD threadId = 0);
// The oldest top-level window with this class and title (either may be null), or null.
HWND FindTopLevel(const char *className, const char *title);
DWORD WindowThread(HWND handle);  // 0 when no such local window
void ClearWindowTable();          // drops every window and class, running nothing

bool IsChildOf(HWND parent, HWND window);
// Marks a window as needing (or no longer needing) WM_PAINT; only visible windows need it.
void SetNeedsPaint(Window &window, bool needed, bool erase);
bool SameTextIgnoringCase(const std::string &a, const char *b);

}  // namespace compat
