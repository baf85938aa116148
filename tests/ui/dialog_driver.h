// Drives the real dialogs by control id through plain Win32 calls, so the same tests run against
// the Linux dialog manager and, under Wine, against user32's. A dialog runs modally as in the
// program; each step of a script runs from a timer inside its modal loop, so what one step
// posts (keys) is handled by the dialog manager before the next step looks.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using DialogStep = std::function<void(HWND dialog)>;

// Opens the dialog template modally and runs the steps in it; returns the dialog's result.
// A dialog the steps leave open is ended with DIALOG_LEFT_OPEN.
constexpr INT_PTR DIALOG_LEFT_OPEN = -77;
INT_PTR RunDialog(int templateId, DLGPROC proc, const char *caption, std::vector<DialogStep> steps);
// Arms the steps for the next dialog with this caption that opens (a sub-dialog that a step is
// about to open); returns where its result will be.
void ExpectDialog(const char *caption, std::vector<DialogStep> steps);
// Arms the steps for the dialog with this caption and clicks the button that opens it.
void OpenSubDialog(HWND dialog, int button, const char *caption, std::vector<DialogStep> steps);

// Actions.
void Click(HWND dialog, int id);
void Type(HWND dialog, int id, const char *text);
void ScrollBy(HWND dialog, int id, int code, int thumb = 0);
void SelectLines(HWND dialog, int id, const std::vector<int> &lines);
// Shift/Ctrl click on a list line through the list's own mouse handling.
void ClickLine(HWND dialog, int id, int line, bool shift = false, bool control = false);
void DoubleClickLine(HWND dialog, int id, int line);
void SelectCombo(HWND dialog, int id, int line);
// Posts a key press to the focused control, as the keyboard would.
void PressKey(HWND dialog, UINT virtualKey);
void PressAltLetter(HWND dialog, char letter);

// State.
std::string Text(HWND dialog, int id);
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
int ScrollPosition(HWND dialog, int id);
std::vector<std::string> ListLines(HWND dialog, int id);
std::vector<int> SelectedLines(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);
std::string ComboText(HWND dialog, int id, int line);
int FocusId();
