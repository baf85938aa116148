// What the dialog manager needs from the toolkit that shows a dialog on a display (FLTK).
// Without a view (the headless backend) a dialog runs on its messages alone.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace compat {

// The dialog base units of a font in pixels, as Windows computes them: the average width of
// the 52 letters and the font's height.
struct BaseUnits {
  int x = 6, y = 13;
};

class DialogView {
 public:
  virtual ~DialogView() = default;
  // Shows what changed in the dialog, its controls and its position since the last call.
  virtual void Refresh() = 0;
  // Waits at most `seconds` for the user and reports what he does to the controls.
  virtual void WaitForInput(double seconds) = 0;
};

// Whether a display can show dialogs; otherwise `why` says what is missing.
bool ToolkitAvailable(std::string *why);
BaseUnits ToolkitBaseUnits(const char *fontName, int pointSize);
std::unique_ptr<DialogView> OpenToolkitView(HWND dialog, const char *fontName, int pointSize);

// The modal message box on a display; IDOK when shown and closed.
int ToolkitMessageBox(const char *text, const char *caption, UINT type);

}  // namespace compat
