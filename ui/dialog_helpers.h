// What the configuration dialogs share: the settings of the configuration process, centring a
// sub-dialog, numbers in edits and labels, and the help file.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings_store.h"

// The state of the configuration process: loaded when the main dialog opens; the sub-dialogs
// work on the same store.
struct ConfigurationState {
  HINSTANCE instance = nullptr;
  SettingsStore settings;
  std::string helpFile = "lumiva95.hlp";
  long previousThroughput = 0;  // lines per second of the last saver run
  bool hasPalette = true;
};
ConfigurationState &Configuration();

// Moves a sub-dialog so that its centre lies on its owner's, keeping its size.
void CenterOverOwner(HWND dialog);

// The edit's or label's text, at most maxChars characters.
std::string DialogItemText(HWND dialog, int id, int maxChars);
// The text read with the standard decimal conversion (no digits reads as 0).
int32_t DialogItemNumber(HWND dialog, int id, int maxChars);
void SetDialogItemNumber(HWND dialog, int id, long value);

// Opens the help file at a keyword, or at its contents when keyword is null.
bool OpenHelp(HWND dialog, const char *keyword);

// The common procedure of the three small dialogs: open fills the controls, OK stores and
// ends with 1, Cancel ends with 1 storing nothing, "?" opens help at the keyword.
INT_PTR SubDialogMessage(HWND dialog, UINT message, WPARAM wParam, void (*open)(HWND),
                         void (*store)(HWND), const char *helpKeyword);
