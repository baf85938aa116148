// Time, system metrics and parameters, the last error.
#include <windows.h>

#include "backend/backend.h"

using namespace compat;

namespace {
thread_local DWORD lastError = 0;
}

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

DWORD GetTickCount() { return ActiveBackend().Now(); }

void Sleep(DWORD milliseconds) { ActiveBackend().Sleep(milliseconds); }

int GetSystemMetrics(int index) {
  int width = 0, height = 0;
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN:
      ActiveBackend().ScreenSize(&width, &height);
      return width;
    case SM_CYSCREEN:
    case SM_CYFULLSCREEN:
    case SM_CYVIRTUALSCREEN:
      ActiveBackend().ScreenSize(&width, &height);
      return height;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
      return 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 16;
    case SM_CYCAPTION:
      return 18;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_MOUSEPRESENT:
    case SM_CMONITORS:
      return 1;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return 4;
    default:
      return 0;
  }
}

BOOL SystemParametersInfoA(UINT action, UINT uiParam, LPVOID pvParam, UINT) {
  Backend &backend = ActiveBackend();
  switch (action) {
    case SPI_SETSCREENSAVERRUNNING: {
      // The previous state goes back through pvParam, as on Windows.
      const bool previous = backend.SaverRunning();
      backend.SetSaverRunning(uiParam != 0);
      if (pvParam != nullptr) *static_cast<BOOL *>(pvParam) = previous ? TRUE : FALSE;
      return TRUE;
    }
    case SPI_GETSCREENSAVERRUNNING:
      if (pvParam == nullptr) break;
      *static_cast<BOOL *>(pvParam) = backend.SaverRunning() ? TRUE : FALSE;
      return TRUE;
    case SPI_GETSCREENSAVEACTIVE:
      if (pvParam == nullptr) break;
      *static_cast<BOOL *>(pvParam) = TRUE;
      return TRUE;
    default:
      break;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}
