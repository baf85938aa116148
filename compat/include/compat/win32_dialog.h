// Dialog boxes and their controls, the message box and the help call. Templates come from the
// resource script; values are the Win32 ones.
#pragma once

#include "compat/win32_types.h"
#include "compat/win32_window.h"

typedef INT_PTR(CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef int *LPINT;

#define IDOK 1
#define IDCANCEL 2

// ---- Dialog styles and messages ----
#define DS_MODALFRAME 0x80L
#define DM_GETDEFID (WM_USER + 0)
#define DC_HASDEFID 0x534B
#define WM_GETDLGCODE 0x0087
#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

// ---- Buttons ----
#define BS_PUSHBUTTON 0x0L
#define BS_DEFPUSHBUTTON 0x1L
#define BS_CHECKBOX 0x2L
#define BS_AUTOCHECKBOX 0x3L
#define BS_RADIOBUTTON 0x4L
#define BS_GROUPBOX 0x7L
#define BS_AUTORADIOBUTTON 0x9L
#define BS_TYPEMASK 0xFL
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_CLICK 0x00F5
#define BN_CLICKED 0

// ---- Static texts ----
#define SS_LEFT 0x0L
#define SS_CENTER 0x1L
#define SS_RIGHT 0x2L

// ---- Edits ----
#define ES_LEFT 0x0L
#define ES_AUTOHSCROLL 0x80L
#define EM_LIMITTEXT 0x00C5
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400

// ---- List boxes ----
#define LBS_NOTIFY 0x0001L
#define LBS_SORT 0x0002L
#define LBS_MULTIPLESEL 0x0008L
#define LBS_EXTENDEDSEL 0x0800L
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETSEL 0x0185
#define LB_SETCURSEL 0x0186
#define LB_GETSEL 0x0187
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_GETTOPINDEX 0x018E
#define LB_GETSELCOUNT 0x0190
#define LB_GETSELITEMS 0x0191
#define LB_SETTOPINDEX 0x0197
#define LB_SETCARETINDEX 0x019E
#define LB_GETCARETINDEX 0x019F
#define LB_GETITEMHEIGHT 0x01A1
#define LB_FINDSTRINGEXACT 0x01A2
#define LB_ERR (-1)
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2

// ---- Combo boxes ----
#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_SORT 0x0100L
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_ADDSTRING 0x0143
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_SETCURSEL 0x014E
#define CB_ERR (-1)
#define CBN_SELCHANGE 1

// ---- Scroll bars ----
#define SBS_HORZ 0x0L
#define SBS_VERT 0x1L
#define SB_CTL 2
#define SB_LINELEFT 0
#define SB_LINERIGHT 1
#define SB_PAGELEFT 2
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_LEFT 6
#define SB_RIGHT 7
#define SB_ENDSCROLL 8
#define SBM_SETPOS 0x00E0
#define SBM_GETPOS 0x00E1
#define SBM_SETRANGE 0x00E2
#define SBM_GETRANGE 0x00E3

// ---- Message box ----
#define MB_OK 0x0L
#define MB_ICONASTERISK 0x40L
#define MB_ICONINFORMATION MB_ICONASTERISK

// ---- Help ----
#define HELP_QUIT 0x0002L
#define HELP_CONTENTS 0x0003L
#define HELP_KEY 0x0101L

// -1 when the dialog cannot be created (no such template, no window system), as on Windows.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsDialogMessageA(HWND dialog, LPMSG msg);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL MapDialogRect(HWND dialog, LPRECT rect);

int SetScrollPos(HWND window, int bar, int position, BOOL redraw);
int GetScrollPos(HWND window, int bar);
BOOL SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw);
BOOL GetScrollRange(HWND window, int bar, LPINT minimum, LPINT maximum);

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Opens the program's HTML help page for a help file name; fails where no browser can be asked.
BOOL WinHelpA(HWND window, LPCSTR helpFile, UINT command, ULONG_PTR data);

namespace compat {

// The dialog templates of the resource script, registered by the build's generated tables.
struct DialogItemTemplate {
  const char *className;
  const char *text;
  int id;
  short x, y, width, height;  // dialog units
  DWORD style;
};
struct DialogTemplate {
  int id;
  DWORD style;
  const char *caption;
  const char *fontName;
  int pointSize;
  short x, y, width, height;
  const DialogItemTemplate *items;
  size_t itemCount;
};
void RegisterDialogTemplate(const DialogTemplate &dialogTemplate);

}  // namespace compat
