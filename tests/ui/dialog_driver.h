// Drives the real dialogs by control id through plain Win32 calls, so the same tests run against
// the Linux dialog manager and, under Wine, against user32's. A dialog runs modally as in the
// program; each step of a script runs from a timer inside its modal loop, so what one step
// posts (keys) is handled by the dialog manager before the next step looks. The scene is the
// section "Lumivane 95" of the real control.ini, emptied before each test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

using DialogStep = std::function<void(HWND dialog)>;

// The main configuration dialog, modally, with these steps; its result (-77 when the steps leave
// it open, which the driver then ends).
INT_PTR RunMain(std::vector<DialogStep> steps);
// Arms the steps for the sub-dialog this button of the main dialog opens, and clicks it.
void OpenSubDialog(HWND dialog, int button, std::vector<DialogStep> steps);
// Opens the main dialog, runs the steps in the sub-dialog its button opens, and cancels the main.
void InSubDialog(int button, std::vector<DialogStep> steps);

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  static void Put(const char *key, const std::string &value);
  // "(absent)" for a key the section does not have.
  static std::string Get(const char *key);
  // Several keys as "Key=value Key=value ...".
  static void PutAll(const std::string &assignments);
  // Each key holds its value; a failure names the key.
  static void ExpectStored(const std::string &assignments);
  static void PutSlot(int slot, const std::string &design) {
    Put(("Favorite" + std::to_string(slot)).c_str(), design);
  }
  static std::string Slot(int slot) { return Get(("Favorite" + std::to_string(slot)).c_str()); }
};

// Runs body once for each display this platform's tests can have: on Linux the emulated palette
// and true-colour displays, on Windows the one the desktop has. body gets whether it is a
// 256-colour palette display.
void ForEachDisplay(const std::function<void(bool palette)> &body);

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
// The texts of these controls, each followed by one space but the last.
std::string Texts(HWND dialog, std::initializer_list<int> ids);
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
int ScrollPosition(HWND dialog, int id);
std::vector<std::string> ListLines(HWND dialog, int id);
std::vector<int> SelectedLines(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);
std::string ComboText(HWND dialog, int id, int line);
int FocusId();
