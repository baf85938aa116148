// Dialog boxes: the modal dialog call and its end. Templates come from the resource script.
#pragma once

#include "compat/win32_types.h"
#include "compat/win32_window.h"

typedef INT_PTR(CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define IDOK 1
#define IDCANCEL 2

// -1 when the dialog cannot be created (no such template), as on Windows.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
