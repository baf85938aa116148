// Window classes and windows: creation and destruction with their messages, geometry,
// visibility, enabling, text and the window words.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "backend/backend.h"
#include "gdi/display.h"
#include "window/activation.h"
#include "window/message_queue.h"
#include "window/native_windows.h"
#include "window/window_surface.h"
#include "window/window_table.h"

namespace compat {

namespace {

constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;

Window *OwnWindow(HWND handle) {
  Window *window = FindLocalWindow(handle);
  if (window == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

// Every window this one owns or parents, each before its own descendants.
void CollectDescendants(HWND handle, std::vector<HWND> *out) {
  for (Window *w : AllWindows(CurrentQueue().threadId)) {
    if (w->parent != handle || w->destroying) continue;
    out->push_back(w->handle);
    CollectDescendants(w->handle, out);
  }
}

void Resize(Window &window, int width, int height) {
  window.width = std::max(width, 0);
  window.height = std::max(height, 0);
  InitDisplaySurface(window.surface, window.width, window.height);
}

void EraseNow(HWND handle) {
  Window *window = FindLocalWindow(handle);
  if (window == nullptr || !window->needsErase) return;
  HDC dc = GetDC(handle);
  const bool erased = SendMessageA(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) != 0;
  ReleaseDC(handle, dc);
  window = FindLocalWindow(handle);
  // Unerased, the background is still owed to the next BeginPaint.
  if (window != nullptr && erased) window->needsErase = false;
}

}  // namespace

void SetNeedsPaint(Window &window, bool needed, bool erase) {
  if (needed && !(window.style & WS_VISIBLE)) return;
  if (window.needsPaint != needed) {
    ThreadQueue &queue = CurrentQueue();
    if (queue.threadId == window.threadId) queue.paintRequests += needed ? 1 : -1;
    window.needsPaint = needed;
  }
  window.needsErase = needed && (erase || window.needsErase);
}

LRESULT CallWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *window = FindLocalWindow(handle);
  if (window == nullptr || window->proc == nullptr) return 0;
  return window->proc(handle, message, wParam, lParam);
}

bool WindowKeepsItsDC(HWND handle) {
  Window *window = FindLocalWindow(handle);
  return window != nullptr && (window->windowClass.style & (CS_OWNDC | CS_CLASSDC)) != 0;
}

Surface *WindowSurface(HWND handle) {
  Window *window = FindLocalWindow(handle);
  return window == nullptr ? nullptr : &window->surface;
}

}  // namespace compat

using namespace compat;

ATOM RegisterClassA(const WNDCLASSA *wndClass) {
  if (wndClass == nullptr || wndClass->lpszClassName == nullptr ||
      IS_INTRESOURCE(wndClass->lpszClassName) || wndClass->lpfnWndProc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WindowClass c;
  c.name = wndClass->lpszClassName;
  c.style = wndClass->style;
  c.proc = wndClass->lpfnWndProc;
  c.instance = wndClass->hInstance;
  c.icon = wndClass->hIcon;
  c.cursor = wndClass->hCursor;
  c.background = wndClass->hbrBackground;
  if (!AddClass(c)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  // An atom is a nonzero 16-bit value; ours are not used to look classes up.
  static std::atomic<ATOM> nextAtom{0xC000};
  return nextAtom.fetch_add(1);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  if (className == nullptr || IS_INTRESOURCE(className) || !RemoveClass(className)) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  return TRUE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR className, LPWNDCLASSA wndClass) {
  WindowClass c;
  if (className == nullptr || IS_INTRESOURCE(className) || !FindClass(className, &c)) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (wndClass != nullptr) {
    *wndClass = WNDCLASSA{};
    wndClass->style = c.style;
    wndClass->lpfnWndProc = c.proc;
    wndClass->hInstance = c.instance;
    wndClass->hIcon = c.icon;
    wndClass->hCursor = c.cursor;
    wndClass->hbrBackground = c.background;
    wndClass->lpszClassName = className;
  }
  return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  WindowClass c;
  if (className == nullptr || IS_INTRESOURCE(className) || !FindClass(className, &c)) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if ((style & WS_CHILD) && (parent == nullptr || !IsWindow(parent))) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  if (!(style & WS_CHILD)) {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
      width = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
      height = GetSystemMetrics(SM_CYSCREEN) * 3 / 4;
    }
  } else {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
  }

  auto created = std::make_unique<Window>();
  created->handle = NewWindowHandle();
  created->threadId = CurrentQueue().threadId;
  created->windowClass = c;
  created->proc = c.proc;
  created->title = windowName != nullptr ? windowName : "";
  created->style = style & ~static_cast<DWORD>(WS_VISIBLE);
  created->exStyle = exStyle;
  created->parent = parent;
  created->id = menu;
  created->instance = instance;
  created->x = x;
  created->y = y;
  Resize(*created, width, height);
  Window *window = AddWindow(std::move(created));
  const HWND handle = window->handle;
  // The native window is made visible by ShowWindow below, like ours.
  if (!AttachNative(*window)) {
    RemoveWindow(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }

  CREATESTRUCTA create{param, instance, menu,  parent,    height,    width,
                       y,     x,        static_cast<LONG>(style), windowName, className, exStyle};
  if (!CallWindowProcedure(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (CallWindowProcedure(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (!IsWindow(handle)) return nullptr;
  const LPARAM size = MAKELPARAM(window->width, window->height);
  const LPARAM position = MAKELPARAM(window->x, window->y);
  CallWindowProcedure(handle, WM_SIZE, 0, size);
  CallWindowProcedure(handle, WM_MOVE, 0, position);
  if ((style & WS_VISIBLE) && IsWindow(handle)) ShowWindow(handle, SW_SHOW);
  return IsWindow(handle) ? handle : nullptr;
}

BOOL DestroyWindow(HWND handle) {
  Window *window = OwnWindow(handle);
  if (window == nullptr) return FALSE;
  if (window->threadId != CurrentQueue().threadId) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (window->destroying) return TRUE;
  std::vector<HWND> doomed{handle};
  CollectDescendants(handle, &doomed);
  for (HWND h : doomed) {
    Window *w = FindLocalWindow(h);
    w->destroying = true;
    if (w->style & WS_VISIBLE) {
      w->style &= ~static_cast<DWORD>(WS_VISIBLE);
      ShowNative(*w);
    }
  }
  for (HWND h : doomed) ForgetActivation(h);
  // WM_DESTROY goes to the window before its children, WM_NCDESTROY after them.
  for (HWND h : doomed) CallWindowProcedure(h, WM_DESTROY, 0, 0);
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    CallWindowProcedure(*it, WM_NCDESTROY, 0, 0);
    Window *w = FindLocalWindow(*it);
    SetNeedsPaint(*w, false, false);
    ForgetWindowMessages(*it);
    DetachNative(*w);
    RemoveWindow(*it);
  }
  return TRUE;
}

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc == nullptr ? 0 : proc(window, message, wParam, lParam);
}

BOOL IsWindow(HWND handle) {
  if (handle == nullptr) return FALSE;
  if (IsLocalHandle(handle)) {
    return FindLocalWindow(handle) != nullptr ? TRUE : FALSE;
  }
  int width = 0, height = 0;
  return ActiveBackend().ForeignClientSize(handle, &width, &height) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND handle) {
  for (int depth = 0; depth < 64; ++depth) {
    Window *window = FindLocalWindow(handle);
    if (window == nullptr) return !IsLocalHandle(handle) && IsWindow(handle);
    if (!(window->style & WS_VISIBLE)) return FALSE;
    if (!(window->style & WS_CHILD)) return TRUE;
    handle = window->parent;
  }
  return FALSE;
}

BOOL IsWindowEnabled(HWND handle) {
  Window *window = FindLocalWindow(handle);
  return window != nullptr && !(window->style & WS_DISABLED);
}

BOOL EnableWindow(HWND handle, BOOL enable) {
  Window *window = OwnWindow(handle);
  if (window == nullptr) return FALSE;
  const BOOL wasDisabled = (window->style & WS_DISABLED) ? TRUE : FALSE;
  if (!enable == static_cast<bool>(wasDisabled)) return wasDisabled;
  if (enable) {
    window->style &= ~static_cast<DWORD>(WS_DISABLED);
  } else {
    window->style |= WS_DISABLED;
    // A disabled window loses the focus and the mouse capture.
    if (FocusHandle() == handle || IsChildOf(handle, FocusHandle())) SetFocus(nullptr);
    if (CaptureHandle() == handle) ReleaseCapture();
  }
  SendMessageA(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL ShowWindow(HWND handle, int command) {
  Window *window = OwnWindow(handle);
  if (window == nullptr) return FALSE;
  const bool wasVisible = (window->style & WS_VISIBLE) != 0;
  const bool show = command != SW_HIDE;
  if (show != wasVisible) {
    SendMessageA(handle, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    window = FindLocalWindow(handle);
    if (window == nullptr) return wasVisible;
    if (show) {
      window->style |= WS_VISIBLE;
      SetNeedsPaint(*window, true, true);
    } else {
      window->style &= ~static_cast<DWORD>(WS_VISIBLE);
      SetNeedsPaint(*window, false, false);
    }
    ShowNative(*window);
    if (!show) ForgetActivation(handle);
  }
  const bool activates = command != SW_HIDE && command != SW_SHOWNA &&
                         command != SW_SHOWNOACTIVATE && command != SW_SHOWMINNOACTIVE &&
                         command != SW_MINIMIZE;
  if (show && !wasVisible && !(window->style & WS_CHILD)) {
    if (activates) ActivateWindow(handle);
    // Windows erases a top-level window as it appears, before any WM_PAINT.
    EraseNow(handle);
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL InvalidateRect(HWND handle, const RECT *, BOOL erase) {
  Window *window = OwnWindow(handle);
  if (window == nullptr) return FALSE;
  SetNeedsPaint(*window, true, erase != FALSE);
  return TRUE;
}

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
  Window *window = OwnWindow(handle);
  if (window == nullptr || paint == nullptr) return nullptr;
  const bool erase = window->needsErase;
  SetNeedsPaint(*window, false, false);
  *paint = PAINTSTRUCT{};
  paint->hdc = GetDC(handle);
  paint->rcPaint = RECT{0, 0, window->width, window->height};
  // fErase tells the caller that the background still needs erasing.
  paint->fErase = erase && !SendMessageA(handle, WM_ERASEBKGND,
                                         reinterpret_cast<WPARAM>(paint->hdc), 0);
  return paint->hdc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT *paint) {
  if (paint != nullptr && paint->hdc != nullptr) ReleaseDC(handle, paint->hdc);
  return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
  if (rect == nullptr) return FALSE;
  if (!IsLocalHandle(handle)) {
    int width = 0, height = 0;
    if (!ActiveBackend().ForeignClientSize(handle, &width, &height)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    *rect = RECT{0, 0, width, height};
    return TRUE;
  }
  Window *window = OwnWindow(handle);
  if (window == nullptr) return FALSE;
  *rect = RECT{0, 0, window->width, window->height};
  return TRUE;
}

namespace {

// Screen position of a window's client origin (window-system parents count as at 0, 0).
POINT ScreenOrigin(HWND handle) {
  POINT origin{0, 0};
  for (int depth = 0; depth < 64; ++depth) {
    Window *window = FindLocalWindow(handle);
    if (window == nullptr) break;
    origin.x += window->x;
    origin.y += window->y;
    if (!(window->style & WS_CHILD)) break;
    handle = window->parent;
  }
  return origin;
}

}  // namespace

BOOL GetWindowRect(HWND handle, LPRECT rect) {
  Window *window = OwnWindow(handle);
  if (window == nullptr || rect == nullptr) return FALSE;
  const POINT origin = ScreenOrigin(handle);
  *rect = RECT{origin.x, origin.y, origin.x + window->width, origin.y + window->height};
  return TRUE;
}

BOOL ClientToScreen(HWND handle, LPPOINT point) {
  if (OwnWindow(handle) == nullptr || point == nullptr) return FALSE;
  const POINT origin = ScreenOrigin(handle);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

BOOL ScreenToClient(HWND handle, LPPOINT point) {
  if (OwnWindow(handle) == nullptr || point == nullptr) return FALSE;
  const POINT origin = ScreenOrigin(handle);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND, int x, int y, int cx, int cy, UINT flags) {
  Window *window = OwnWindow(handle);
  if (window == nullptr) return FALSE;
  const bool moved = !(flags & SWP_NOMOVE) && (x != window->x || y != window->y);
  const bool sized = !(flags & SWP_NOSIZE) && (cx != window->width || cy != window->height);
  if (moved) {
    window->x = x;
    window->y = y;
  }
  if (sized) Resize(*window, cx, cy);
  if (sized) {
    SetNeedsPaint(*window, true, true);
    SendMessageA(handle, WM_SIZE, 0, MAKELPARAM(window->width, window->height));
  }
  if (moved && IsWindow(handle)) SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(x, y));
  if ((flags & SWP_SHOWWINDOW) && IsWindow(handle)) ShowWindow(handle, SW_SHOWNA);
  if ((flags & SWP_HIDEWINDOW) && IsWindow(handle)) ShowWindow(handle, SW_HIDE);
  return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(handle, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND GetParent(HWND handle) {
  Window *window = OwnWindow(handle);
  if (window == nullptr) return nullptr;
  // A popup's owner counts as its parent; an overlapped window has none.
  if (window->style & (WS_CHILD | WS_POPUP)) return window->parent;
  return nullptr;
}

HWND GetWindow(HWND handle, UINT relation) {
  Window *window = OwnWindow(handle);
  if (window == nullptr) return nullptr;
  if (relation == GW_OWNER) return (window->style & WS_CHILD) ? nullptr : window->parent;
  std::vector<HWND> siblings;
  const bool wantChildren = relation == GW_CHILD;
  const HWND parent = wantChildren ? handle : ((window->style & WS_CHILD) ? window->parent : nullptr);
  for (Window *w : AllWindows(CurrentQueue().threadId)) {
    const bool isChild = (w->style & WS_CHILD) != 0;
    if (w->destroying) continue;
    if (parent != nullptr ? (isChild && w->parent == parent) : !isChild) siblings.push_back(w->handle);
  }
  if (siblings.empty()) return nullptr;
  auto self = std::find(siblings.begin(), siblings.end(), handle);
  switch (relation) {
    case GW_CHILD:
    case GW_HWNDFIRST:
      return siblings.front();
    case GW_HWNDLAST:
      return siblings.back();
    case GW_HWNDNEXT:
      return (self == siblings.end() || self + 1 == siblings.end()) ? nullptr : *(self + 1);
    case GW_HWNDPREV:
      return (self == siblings.end() || self == siblings.begin()) ? nullptr : *(self - 1);
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

BOOL SetWindowTextA(HWND handle, LPCSTR text) {
  if (OwnWindow(handle) == nullptr) return FALSE;
  return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND handle, LPSTR text, int size) {
  if (OwnWindow(handle) == nullptr || text == nullptr || size <= 0) return 0;
  return static_cast<int>(
      SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthA(HWND handle) {
  if (OwnWindow(handle) == nullptr) return 0;
  return static_cast<int>(SendMessageA(handle, WM_GETTEXTLENGTH, 0, 0));
}

int GetClassNameA(HWND handle, LPSTR name, int size) {
  Window *window = OwnWindow(handle);
  if (window == nullptr || name == nullptr || size <= 0) return 0;
  const size_t count = std::min(window->windowClass.name.size(), static_cast<size_t>(size - 1));
  std::memcpy(name, window->windowClass.name.data(), count);
  name[count] = '\0';
  return static_cast<int>(count);
}

LONG_PTR GetWindowLongPtrA(HWND handle, int index) {
  Window *window = OwnWindow(handle);
  if (window == nullptr) return 0;
  switch (index) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(window->proc);
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(window->parent);
    case GWLP_ID:
      return reinterpret_cast<LONG_PTR>(window->id);
    case GWL_STYLE:
      return static_cast<LONG>(window->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(window->exStyle);
    case GWLP_USERDATA:
      return window->userData;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);  // no window extra bytes exist
      return 0;
  }
}

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
  Window *window = OwnWindow(handle);
  if (window == nullptr) return 0;
  const LONG_PTR previous = GetWindowLongPtrA(handle, index);
  switch (index) {
    case GWLP_WNDPROC:
      window->proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_HINSTANCE:
      window->instance = reinterpret_cast<HINSTANCE>(value);
      break;
    case GWLP_ID:
      window->id = reinterpret_cast<HMENU>(value);
      break;
    case GWL_STYLE:
      window->style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      window->exStyle = static_cast<DWORD>(value);
      break;
    case GWLP_USERDATA:
      window->userData = value;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
  }
  return previous;
}

LONG GetWindowLongA(HWND handle, int index) {
  return static_cast<LONG>(GetWindowLongPtrA(handle, index));
}
