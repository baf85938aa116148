// Other processes' top-level windows through our own connection to the X server: finding
// them by WM_CLASS and name, asking them to close, bringing them to the front; and the
// monitors of the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct _XDisplay;

namespace compat {

// A monitor's area in root-window coordinates.
struct MonitorArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class X11Windows {
 public:
  X11Windows();
  ~X11Windows();
  bool Connected() const { return display_ != nullptr; }

  // `skip` tells which windows are this process's own.
  unsigned long Find(const char *className, const char *title,
                     const std::function<bool(unsigned long)> &skip);
  bool Exists(unsigned long window);
  bool Size(unsigned long window, int *width, int *height);
  bool Close(unsigned long window);
  bool Activate(unsigned long window);
  unsigned long Active();
  // The pointer on the screen, asked of the server: SDL's global mouse state can lag behind.
  bool Pointer(int *x, int *y);
  void WarpPointer(int x, int y);
  // WM_CLASS of a window we made, so that other processes find it by its Win32 class.
  void SetClass(unsigned long window, const std::string &className);

  // The active RandR monitors of the screen, the primary first (RandR's primary, else the
  // first listed); empty when the server lists none.
  std::vector<MonitorArea> Monitors();

  bool SaverRunning();
  void SetSaverRunning(bool on);

 private:
  bool Matches(unsigned long window, const char *className, const char *title);
  std::string Name(unsigned long window);
  unsigned long Intern(const char *name);
  // A 32-bit list property of the root window (window ids, cardinals); empty when absent.
  std::vector<unsigned long> RootProperty(const char *name, unsigned long type, long maxItems);

  ::_XDisplay *display_ = nullptr;
  unsigned long root_ = 0;
};

}  // namespace compat
