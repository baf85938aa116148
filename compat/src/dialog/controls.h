// The standard controls of a dialog (BUTTON, STATIC, EDIT, LISTBOX, COMBOBOX, SCROLLBAR) as
// window classes with the Win32 messages and notifications. Their state lives here; a view
// (FLTK on a display) only shows it and reports the user's actions through the functions below.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace compat {

enum class ControlKind { Button, Static, Edit, ListBox, ComboBox, ScrollBar };

struct ControlState {
  ControlKind kind = ControlKind::Static;
  int check = BST_UNCHECKED;
  std::vector<std::string> items;
  std::vector<bool> selected;  // list boxes
  int current = -1;            // the single selection (combo box, single-selection list box)
  int caret = 0;               // the line with the focus rectangle
  int anchor = 0;              // where a Shift range starts
  int top = 0;
  int minimum = 0, maximum = 100, position = 0;
  size_t limit = 30000;  // edit text limit
};

// Registers the control classes unless they are.
void RegisterControlClasses();
// Null for a window that is no control.
ControlState *FindControl(HWND control);
// Moves every time a control's state or a window's text or enabled flag changes, so a view
// knows when to look again.
unsigned long ControlGeneration();
void NoteControlChanged();

// What a user does, as the view reports it; each behaves as the Win32 control does and sends
// the notifications the dialog procedure expects.
void ClickButton(HWND button);
void UserSetsEditText(HWND edit, const std::string &text);
void ListClick(HWND list, int line, bool shift, bool control);
void ListDoubleClick(HWND list, int line);
void ComboUserSelects(HWND combo, int line);
void ScrollBarUserScrolls(HWND bar, int code, int thumb);

// The height of one list line in pixels (the dialog font's height).
void SetListLineHeight(HWND list, int pixels);

}  // namespace compat
