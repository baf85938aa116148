// What Windows does with a message no window procedure handled.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "window/native_windows.h"
#include "window/window_table.h"

using namespace compat;

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window *window = FindLocalWindow(handle);
  if (window == nullptr) return 0;
  switch (message) {
    case WM_NCCREATE: {
      const auto *create = reinterpret_cast<const CREATESTRUCTA *>(lParam);
      if (create != nullptr && create->lpszName != nullptr) window->title = create->lpszName;
      return TRUE;
    }
    case WM_CLOSE:
      DestroyWindow(handle);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(handle, &paint);
      EndPaint(handle, &paint);
      return 0;
    }
    case WM_ERASEBKGND: {
      const HBRUSH background = window->windowClass.background;
      if (background == nullptr || wParam == 0) return 0;
      RECT client{0, 0, window->width, window->height};
      FillRect(reinterpret_cast<HDC>(wParam), &client, background);
      return 1;
    }
    case WM_SETTEXT:
      window->title = lParam != 0 ? reinterpret_cast<LPCSTR>(lParam) : "";
      RetitleNative(*window);
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      const size_t count = std::min(window->title.size(), static_cast<size_t>(wParam - 1));
      std::memcpy(reinterpret_cast<char *>(lParam), window->title.data(), count);
      reinterpret_cast<char *>(lParam)[count] = '\0';
      return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window->title.size());
    case WM_SETCURSOR:
      // A child lets its parent choose first; then the class cursor, if any, is shown.
      if ((window->style & WS_CHILD) && IsLocalHandle(window->parent) &&
          SendMessageA(window->parent, WM_SETCURSOR, wParam, lParam))
        return TRUE;
      if (static_cast<short>(LOWORD(lParam)) == HTCLIENT && window->windowClass.cursor != nullptr) {
        SetCursor(window->windowClass.cursor);
        return TRUE;
      }
      return FALSE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(handle);
      return 0;
    case WM_MOUSEACTIVATE:
      return 1;  // MA_ACTIVATE
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_CONTEXTMENU:
      if ((window->style & WS_CHILD) && IsLocalHandle(window->parent))
        SendMessageA(window->parent, message, wParam, lParam);
      return 0;
    case WM_SYSKEYDOWN:
      // Alt+F4 asks the window to close.
      if (wParam == VK_F4 && (lParam & (1 << 29)))
        PostMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(handle, WM_CLOSE, 0, 0);
      return 0;
    default:
      return 0;
  }
}
