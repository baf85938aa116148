#include "host/saver_window.h"

#include "engine/animation_driver.h"
#include "host/proc_address.h"
#include "host/saver_main.h"
#include "resources/resource_ids.h"

SaverHostState saverHost;

namespace {

constexpr UINT SAVER_CLASS_STYLE = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
constexpr DWORD PREVIEW_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr DWORD FULLSCREEN_STYLE = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int EXIT_NO_WINDOW = -1;

void HideCursor() { SetCursor(nullptr); }

bool IsDismissingInput(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

bool IsFilteredInput(UINT message) { return IsDismissingInput(message) || message == WM_MOUSEMOVE; }

void DetachInputMethod(HWND window) {
  saverHost.inputMethodLibrary = GetModuleHandleA("IMM32.DLL");
  if (!saverHost.inputMethodLibrary) return;
  saverHost.associateContext =
      ProcAddress<ImmAssociateContextFn>(saverHost.inputMethodLibrary, "ImmAssociateContext");
  if (saverHost.associateContext)
    saverHost.previousInputContext = saverHost.associateContext(window, nullptr);
}

void RestoreInputMethod(HWND window) {
  if (saverHost.inputMethodLibrary && saverHost.associateContext &&
      saverHost.previousInputContext)
    saverHost.associateContext(window, saverHost.previousInputContext);
}

DWORD CursorDistance(POINT a, POINT b) {
  const LONG dx = a.x - b.x;
  const LONG dy = a.y - b.y;
  return static_cast<DWORD>((dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy));
}

}  // namespace

void SetSaverRunningFlag(bool on) {
  BOOL previous = FALSE;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on ? TRUE : FALSE, &previous, 0);
}

void UnloadPasswordVerifier() {
  if (saverHost.verifierLibrary) {
    FreeLibrary(saverHost.verifierLibrary);
    saverHost.verifierLibrary = nullptr;
  }
  if (saverHost.verifyEntry) {
    saverHost.verifyEntry = nullptr;
    SetSaverRunningFlag(false);
  }
}

void LoadPasswordVerifier() {
  if (saverHost.verifierLibrary) UnloadPasswordVerifier();
  HKEY desktop = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) != ERROR_SUCCESS) return;
  // Any type will do: only whether the first four bytes are all zero counts.
  BYTE value[4] = {0, 0, 0, 0};
  DWORD size = sizeof value;
  const LONG queried =
      RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr, value, &size);
  if (queried == ERROR_SUCCESS && (value[0] | value[1] | value[2] | value[3]) != 0) {
    saverHost.verifierLibrary = LoadLibraryA("PASSWORD.CPL");
    if (saverHost.verifierLibrary) {
      saverHost.verifyEntry =
          ProcAddress<VerifyScreenSavePwdFn>(saverHost.verifierLibrary, "VerifyScreenSavePwd");
      if (saverHost.verifyEntry)
        SetSaverRunningFlag(true);
      else
        UnloadPasswordVerifier();
    }
  }
  RegCloseKey(desktop);
}

int RunSaverWindow(HWND parent) {
  HINSTANCE instance = SaverInstance();
  SetDriverDefaultProc(SaverDefaultProc);

  WNDCLASSA saverClass = {};
  saverClass.style = SAVER_CLASS_STYLE;
  saverClass.lpfnWndProc = SaverHostProc;
  saverClass.hInstance = instance;
  saverClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SAVER));
  saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  saverClass.lpszClassName = SAVER_CLASS_NAME;

  int width;
  int height;
  DWORD style;
  DWORD extendedStyle = 0;
  LPCSTR title;
  if (parent) {
    RECT client = {};
    GetClientRect(parent, &client);
    width = client.right;
    height = client.bottom;
    style = PREVIEW_STYLE;
    title = SAVER_PREVIEW_TITLE;
    saverHost = SaverHostState();
    saverHost.previewMode = true;
  } else {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    style = FULLSCREEN_STYLE;
    title = SAVER_FULLSCREEN_TITLE;
    HWND running = FindWindowA(SAVER_CLASS_NAME, SAVER_FULLSCREEN_TITLE);
    if (running && IsWindow(running)) {
      SetForegroundWindow(running);
      return 0;
    }
    // Only now: the running saver's state must stay untouched by a refused second start.
    saverHost = SaverHostState();
    LoadPasswordVerifier();
    extendedStyle = WS_EX_TOPMOST;
  }

  int exitCode = EXIT_NO_WINDOW;
  if (RegisterClassA(&saverClass)) {
    saverHost.window = CreateWindowExA(extendedStyle, SAVER_CLASS_NAME, title, style, 0, 0, width,
                                       height, parent, nullptr, instance, nullptr);
    if (saverHost.window) {
      if (!saverHost.previewMode) SetForegroundWindow(saverHost.window);
      MSG message = {};
      while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      exitCode = static_cast<int>(message.wParam);
      // A quit posted while the window still exists skipped WM_DESTROY: destroying it now
      // runs the one shut-down, and the quit that WM_DESTROY posts again is taken back.
      if (IsWindow(saverHost.window)) {
        DestroyWindow(saverHost.window);
        PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
      }
    }
    // A later run in the same process registers the class again.
    UnregisterClassA(SAVER_CLASS_NAME, instance);
  }
  UnloadPasswordVerifier();
  return exitCode;
}

LRESULT CALLBACK SaverHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      DetachInputMethod(window);
      GetCursorPos(&saverHost.savedCursor);
      if (!saverHost.previewMode) HideCursor();
      break;
    case WM_DESTROY:
      RestoreInputMethod(window);
      PostQuitMessage(0);
      break;
    case WM_SETTEXT:
      return 0;
    case WM_PAINT:
      if (saverHost.closeAccepted) return DefWindowProcA(window, message, wParam, lParam);
      if (!saverHost.previewMode) HideCursor();
      break;
    case WM_HELP:
    case WM_CONTEXTMENU:
      if (saverHost.previewMode) {
        HWND parent = GetParent(window);
        // The system refuses to post WM_HELP, whose lParam is a pointer; it is sent instead
        // so that the parent gets it at all.
        if (parent && IsWindow(parent) &&
            !PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam))
          SendMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
        return 1;
      }
      break;
    case WM_SYSCOMMAND:
      if (!saverHost.previewMode &&
          (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
        return 0;
      break;
    case WM_TIMER:
      if (saverHost.closeAccepted) return 0;
      Sleep(0);
      break;
    default:
      if (IsFilteredInput(message) && saverHost.closeAccepted)
        return DefWindowProcA(window, message, wParam, lParam);
      break;
  }
  return ScreenSaverProc(window, message, wParam, lParam);
}

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (saverHost.previewMode || saverHost.closeAccepted)
    return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_CLOSE) {
    if (CheckCloseAllowed(window)) return DefWindowProcA(window, message, wParam, lParam);
    // A refused close starts the movement measure again from here.
    GetCursorPos(&saverHost.savedCursor);
    return 0;
  }
  if (message == SAVER_MSG_VERIFY_PASSWORD)
    return saverHost.verifyEntry ? saverHost.verifyEntry(window) : 1;
  if (saverHost.verifying) return DefWindowProcA(window, message, wParam, lParam);

  if (message == WM_SHOWWINDOW) {
    if (wParam) HideCursor();
  } else if (message == WM_SETCURSOR) {
    HideCursor();
    return 1;
  } else if (IsDismissingInput(message)) {
    PostMessageA(window, WM_CLOSE, 0, 0);
  } else if (message == WM_MOUSEMOVE) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (CursorDistance(cursor, saverHost.savedCursor) > SAVER_MOUSE_THRESHOLD) {
      PostMessageA(window, WM_CLOSE, 0, 0);
      saverHost.savedCursor = cursor;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool CheckCloseAllowed(HWND window) {
  if (saverHost.verifying) return false;
  if (!saverHost.verifyEntry) {
    saverHost.closeAccepted = true;
    return true;
  }
  const DWORD now = GetTickCount();
  if (saverHost.lastVerifyTick != SAVER_NEVER_VERIFIED &&
      now - saverHost.lastVerifyTick < SAVER_CLOSE_GRACE_MS)
    return false;

  saverHost.verifying = true;
  MSG pending;
  for (int i = 0; i < 2; ++i)
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  saverHost.closeAccepted = SendMessageA(window, SAVER_MSG_VERIFY_PASSWORD, 0, 0) != 0;
  saverHost.verifying = false;
  if (!saverHost.closeAccepted) HideCursor();
  saverHost.lastVerifyTick = GetTickCount();
  return saverHost.closeAccepted;
}
