#include "ui/dialog_helpers.h"

#include <cstdio>
#include <vector>

#include "resources/resource_ids.h"
#include "settings/decimal_text.h"

ConfigurationState &Configuration() {
  static ConfigurationState state;
  return state;
}

void CenterOverOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  RECT own, theirs;
  if (!owner || !GetWindowRect(dialog, &own) || !GetWindowRect(owner, &theirs)) return;
  const int left = (theirs.left + theirs.right) / 2 + (own.left - own.right) / 2;
  const int top = (theirs.top + theirs.bottom) / 2 + (own.top - own.bottom) / 2;
  MoveWindow(dialog, left, top, own.right - own.left, own.bottom - own.top, FALSE);
}

std::string DialogItemText(HWND dialog, int id, int maxChars) {
  std::vector<char> text(static_cast<size_t>(maxChars) + 1, '\0');
  GetDlgItemTextA(dialog, id, text.data(), maxChars + 1);
  return text.data();
}

int32_t DialogItemNumber(HWND dialog, int id, int maxChars) {
  return ReadDecimal(DialogItemText(dialog, id, maxChars));
}

void SetDialogItemNumber(HWND dialog, int id, long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%ld", value);
  SetDlgItemTextA(dialog, id, text);
}

bool OpenHelp(HWND dialog, const char *keyword) {
  const std::string &file = Configuration().helpFile;
  return keyword ? WinHelpA(dialog, file.c_str(), HELP_KEY, reinterpret_cast<ULONG_PTR>(keyword)) != FALSE
                 : WinHelpA(dialog, file.c_str(), HELP_CONTENTS, 0) != FALSE;
}

INT_PTR SubDialogMessage(HWND dialog, UINT message, WPARAM wParam, void (*open)(HWND),
                         void (*store)(HWND), const char *helpKeyword) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOverOwner(dialog);
      open(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          store(dialog);
          EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 1);
          return TRUE;
        case IDC_HELP_BUTTON:
          OpenHelp(dialog, helpKeyword);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}
