#include "compat/win32_dialog.h"

// No dialog templates are laid out on this platform yet, so every template is unknown and
// the call fails the way Windows fails for a missing template.
INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) {
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return -1;
}

BOOL EndDialog(HWND, INT_PTR) {
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return FALSE;
}
